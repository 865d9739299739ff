// The console's table cells, shared by its files.
#pragma once

#include <QTableWidget>

namespace ld::qt {

// Sets a cell's text, creating the item on first use; an unchanged text costs nothing.
inline void SetCell(QTableWidget* table, int row, int column, const QString& text,
                    Qt::Alignment align = Qt::AlignVCenter | Qt::AlignLeft) {
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(align);
        table->setItem(row, column, item);
    }
    if (item->text() != text) item->setText(text);
}

}  // namespace ld::qt
