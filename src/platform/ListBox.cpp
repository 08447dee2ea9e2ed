#include "ListBox.h"

#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTextDocument>
#include <QToolTip>

namespace platform {

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line of text per entry: lets the view lay out tens of thousands of entries at once.
    setUniformItemSizes(true);
    // Files and text may be dropped in; entries are never dragged about.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

namespace {

// A dropped file's path, or empty when the drop is not one local file.
QString DroppedFile(const QMimeData *mime)
{
    const QList<QUrl> urls = mime->hasUrls() ? mime->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

// Anything that may be meant as a list is taken, so that what cannot be used can be told.
bool Droppable(const QMimeData *mime)
{
    return mime->hasUrls() || mime->hasText();
}

} // namespace

void ListBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (Droppable(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (Droppable(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListBox::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (!Droppable(mime)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QString path = DroppedFile(mime);
    if (!path.isEmpty())
        emit listDropFile(path);
    else if (mime->hasUrls())
        emit listDropRefused(mime->urls().size() > 1);
    else
        emit listDropText(mime->text());
}

void ListBox::setListIndexQuietly(int index)
{
    if (index < 0 || index >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void ListBox::setListIndex(int index)
{
    setListIndexQuietly(index);
    emit listClick();
}

QString ListBox::currentText() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->text() : QString();
}

QStringList ListBox::entries() const
{
    QStringList texts;
    texts.reserve(count());
    for (int i = 0; i < count(); ++i)
        texts << item(i)->text();
    return texts;
}

bool ListBox::event(QEvent *event)
{
    // The tool tip names an entry, which is whatever a file held: show it as plain text, never
    // as markup.
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(toolTip()), this);
        return true;
    }
    return QListWidget::event(event);
}

void ListBox::mousePressEvent(QMouseEvent *event)
{
    QPointer<ListBox> self(this);
    const bool wasEmpty = count() == 0;
    emit listMouseDown(event->button());
    // On an empty list the press has no entry to pick; if a handler filled the list meanwhile,
    // the press must not pick whatever entry now lies under the pointer.
    if (!self || wasEmpty)
        return;
    // Only the left button picks an entry, as on the list this stands for: a right press opens
    // the menu on the entry that is current, and never queries another during an add's query.
    if (event->button() != Qt::LeftButton)
        return;
    const int before = currentRow();
    QListWidget::mousePressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit listClick();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    emit listDblClick();
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit listDeleteKey();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        emit listPaste();
        return;
    }
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit listClick();
}

} // namespace platform
