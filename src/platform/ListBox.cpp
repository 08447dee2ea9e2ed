#include "ListBox.h"

#include <QMouseEvent>
#include <QPointer>

namespace platform {

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line of text per entry: lets the view lay out tens of thousands of entries at once.
    setUniformItemSizes(true);
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

void ListBox::mousePressEvent(QMouseEvent *event)
{
    QPointer<ListBox> self(this);
    emit listMouseDown(event->button());
    if (!self)
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
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit listClick();
}

} // namespace platform
