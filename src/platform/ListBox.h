#pragma once

#include <QListWidget>

namespace platform {

// A single-selection list box with the classic events:
// - listClick: the current entry was set, by the user (mouse or keyboard) or by
//   setListIndex(), which raises it exactly once, even when the index was current already.
//   Removing or clearing entries does not raise it.
// - listMouseDown: any mouse button pressed over the list, raised before anything else.
// - listDblClick: a double click anywhere over the list.
// - listDeleteKey: the Delete key pressed on the list.
// - listPaste: Ctrl+V (the platform's paste keys) pressed on the list.
// - listDropFile / listDropText: a file, or text, dropped on the list.
class ListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    // Makes entry `index` current and raises listClick once; -1 clears the selection.
    void setListIndex(int index);
    // Makes entry `index` current without raising listClick.
    void setListIndexQuietly(int index);
    int listIndex() const { return currentRow(); }
    QString currentText() const;
    QStringList entries() const;

signals:
    void listClick();
    void listMouseDown(Qt::MouseButton button);
    void listDblClick();
    void listDeleteKey();
    void listPaste();
    void listDropFile(const QString &path);
    void listDropText(const QString &text);
    // Dropped addresses that are not one local file: several files, or a web link.
    void listDropRefused(bool severalFiles);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace platform
