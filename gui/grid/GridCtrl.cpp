#include "gui/grid/GridCtrl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace gw {

namespace {

QColor ToQColor(std::uint32_t colour) {
    return QColor(int(colour & 0xffu), int((colour >> 8) & 0xffu), int((colour >> 16) & 0xffu));
}

std::uint32_t FromQColor(const QColor& colour) {
    return Rgb(std::uint32_t(colour.red()), std::uint32_t(colour.green()), std::uint32_t(colour.blue()));
}

bool IsCursorKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
           key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

// The in-place edit box: it knows whether editing began from the keyboard and widens
// with its text, up to the width of the grid.
class CellEdit : public QLineEdit {
public:
    CellEdit(QWidget* parent, int maxWidth) : QLineEdit(parent), m_maxWidth(maxWidth) {
        setObjectName("cellEdit");
        setFrame(false);
        connect(this, &QLineEdit::textChanged, this, &CellEdit::Widen);
    }

    bool startedByKey = false;

    void SetCellWidth(int width) {
        m_cellWidth = width;
        Widen();
    }

private:
    void Widen() {
        const int wanted = fontMetrics().horizontalAdvance(text()) + 2 * fontMetrics().averageCharWidth();
        resize(std::min(std::max(m_cellWidth, wanted), std::max(m_cellWidth, m_maxWidth - x())), height());
    }

    int m_maxWidth;
    int m_cellWidth = 0;
};

class CellDelegate : public QStyledItemDelegate {
public:
    using Acceptance = std::function<bool(const QModelIndex&, const QString&)>;

    CellDelegate(QAbstractItemView* view, Acceptance accepts)
        : QStyledItemDelegate(view), m_view(view), m_accepts(std::move(accepts)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        return new CellEdit(parent, m_view->viewport()->width());
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override {
        editor->setGeometry(option.rect);
        static_cast<CellEdit*>(editor)->SetCellWidth(option.rect.width());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (m_accepts(index, static_cast<CellEdit*>(editor)->text())) {
            QStyledItemDelegate::setModelData(editor, model, index);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = dynamic_cast<CellEdit*>(object);
        if (!editor || event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(object, event);
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            return true;
        case Qt::Key_Escape:
            emit closeEditor(editor, RevertModelCache);
            return true;
        default:
            break;
        }
        if (IsCursorKey(key->key()) && (editor->startedByKey || key->modifiers().testFlag(Qt::ControlModifier))) {
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            // The key then moves the focus cell, as it would have without editing.
            QKeyEvent move(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier);
            QApplication::sendEvent(m_view, &move);
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    QAbstractItemView* m_view;
    Acceptance m_accepts;
};

}  // namespace

GridCtrl::GridCtrl(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new CellDelegate(
        this, [this](const QModelIndex& index, const QString& text) { return AcceptsTyped(index, text); }));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
}

void GridCtrl::SetSize(int rows, int columns) {
    setRowCount(std::max(rows, 1) - 1);
    setColumnCount(columns);
    for (int column = 0; column < columns; ++column) {
        if (!horizontalHeaderItem(column)) setHorizontalHeaderItem(column, new QTableWidgetItem());
    }
}

bool GridCtrl::InGrid(int row, int column) const {
    return row >= 0 && row < GetRowCount() && column >= 0 && column < columnCount();
}

bool GridCtrl::InData(int row, int column) const { return row >= 1 && InGrid(row, column); }

QTableWidgetItem* GridCtrl::Item(int row, int column) const {
    if (!InGrid(row, column)) return nullptr;
    return row == 0 ? horizontalHeaderItem(column) : item(row - 1, column);
}

QTableWidgetItem* GridCtrl::MakeItem(int row, int column) {
    if (QTableWidgetItem* existing = Item(row, column)) return existing;
    if (row == 0) {
        setHorizontalHeaderItem(column, new QTableWidgetItem());
        return horizontalHeaderItem(column);
    }
    setItem(row - 1, column, new QTableWidgetItem());
    return item(row - 1, column);
}

bool GridCtrl::SetItemText(int row, int column, const QString& text) {
    if (!InGrid(row, column)) return false;
    MakeItem(row, column)->setText(text);
    return true;
}

QString GridCtrl::GetItemText(int row, int column) const {
    const QTableWidgetItem* cell = Item(row, column);
    return cell ? cell->text() : QString();
}

bool GridCtrl::SetItemBkColour(int row, int column, std::uint32_t colour) {
    if (!InGrid(row, column)) return false;
    QTableWidgetItem* cell = MakeItem(row, column);
    if (colour == kNoCellBackground) {
        cell->setData(Qt::BackgroundRole, QVariant());
    } else {
        cell->setBackground(ToQColor(colour));
        // Readable text on dark colours too.
        cell->setForeground(ToQColor(colour).lightness() < 128 ? Qt::white : Qt::black);
    }
    return true;
}

std::uint32_t GridCtrl::GetItemBkColour(int row, int column) const {
    if (!InGrid(row, column)) return 0;
    const QTableWidgetItem* cell = Item(row, column);
    const QVariant background = cell ? cell->data(Qt::BackgroundRole) : QVariant();
    return background.isValid() ? FromQColor(background.value<QBrush>().color()) : kNoCellBackground;
}

bool GridCtrl::SetItemReadOnly(int row, int column, bool readOnly) {
    if (!InData(row, column)) return false;
    QTableWidgetItem* cell = MakeItem(row, column);
    cell->setFlags(readOnly ? cell->flags() & ~Qt::ItemIsEditable : cell->flags() | Qt::ItemIsEditable);
    return true;
}

bool GridCtrl::IsItemReadOnly(int row, int column) const {
    if (!InData(row, column)) return true;
    const QTableWidgetItem* cell = Item(row, column);
    return cell && !(cell->flags() & Qt::ItemIsEditable);
}

void GridCtrl::SetRow(int row, const TableRow& cells) {
    for (int column = 0; column < columnCount() && column < int(cells.size()); ++column) {
        const TableCell& cell = cells[std::size_t(column)];
        SetItemText(row, column, QString::fromStdString(cell.text));
        SetItemBkColour(row, column, cell.background);
        SetItemReadOnly(row, column, cell.readOnly);
    }
}

TableRows GridCtrl::DataRows() const {
    TableRows rows;
    for (int row = 1; row < GetRowCount(); ++row) {
        TableRow cells;
        for (int column = 0; column < columnCount(); ++column) {
            cells.push_back({GetItemText(row, column).toStdString(), GetItemBkColour(row, column),
                             IsItemReadOnly(row, column)});
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

int GridCtrl::InsertRow(int row) {
    if (row == -1) row = GetRowCount();
    else if (row < 1 || row >= GetRowCount()) return -1;
    insertRow(row - 1);
    return row;
}

bool GridCtrl::DeleteRow(int row) {
    if (!InData(row, 0)) return false;
    removeRow(row - 1);
    return true;
}

GridCtrl::CellId GridCtrl::GetFocusCell() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return {};
    return {current.row() + 1, current.column()};
}

void GridCtrl::SetFocusCell(int row, int column) {
    if (row == 0) row = 1;
    if (!InData(row, column)) return;
    setCurrentCell(row - 1, column);
}

GridCtrl::CellId GridCtrl::GetCellFromPt(const QPoint& point) const {
    const QHeaderView* header = horizontalHeader();
    if (header->isVisible() && header->geometry().contains(point)) {
        const int column = header->logicalIndexAt(header->mapFrom(this, point));
        return column < 0 ? CellId{} : CellId{0, column};
    }
    const QModelIndex index = indexAt(viewport()->mapFrom(this, point));
    if (!index.isValid()) return {};
    return {index.row() + 1, index.column()};
}

QRect GridCtrl::GetCellRect(int row, int column) const {
    if (!InGrid(row, column)) return {};
    if (row == 0) {
        const QHeaderView* header = horizontalHeader();
        const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column), header->height());
        return section.translated(header->geometry().topLeft());
    }
    return visualRect(model()->index(row - 1, column)).translated(viewport()->geometry().topLeft());
}

void GridCtrl::AutoSize() {
    resizeColumnsToContents();
    resizeRowsToContents();
}

void GridCtrl::AutoSizeRow(int row) {
    if (InData(row, 0)) resizeRowToContents(row - 1);
}

bool GridCtrl::StartEditing(EditStart start, const QString& typed) {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !(index.flags() & Qt::ItemIsEditable)) return false;
    if (!edit(index, AllEditTriggers, nullptr)) return false;
    auto* editor = dynamic_cast<CellEdit*>(indexWidget(index));
    if (!editor) return false;
    editor->startedByKey = start != EditStart::kKeepText || !m_pressedOnCurrent.isValid();
    switch (start) {
    case EditStart::kChar:
        editor->setText(typed);
        break;
    case EditStart::kKeepText:
        editor->deselect();
        editor->end(false);
        break;
    case EditStart::kBackspace:
        editor->setText(editor->text().chopped(editor->text().isEmpty() ? 0 : 1));
        break;
    case EditStart::kSelectAll:
        editor->selectAll();
        break;
    }
    return true;
}

bool GridCtrl::AcceptsTyped(const QModelIndex& index, const QString& text) {
    const Status checked = m_cellCheck ? m_cellCheck(index.column(), text) : Status::Ok();
    if (checked.ok()) return true;
    // Told once the edit has closed: a message box while the editor still has the focus
    // would commit it again.
    const int row = index.row() + 1;
    const int column = index.column();
    const QString why = QString::fromStdString(checked.message());
    QMetaObject::invokeMethod(this, [this, row, column, why] {
        SetFocusCell(row, column);
        emit cellRefused(row, column, why);
    }, Qt::QueuedConnection);
    return false;
}

void GridCtrl::keyPressEvent(QKeyEvent* event) {
    m_pressedOnCurrent = QPersistentModelIndex();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (state() != EditingState && modifiers == Qt::NoModifier) {
        bool started = false;
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            started = StartEditing(EditStart::kKeepText);
            break;
        case Qt::Key_Backspace:
            started = StartEditing(EditStart::kBackspace);
            break;
        case Qt::Key_Space:
        case Qt::Key_F2:
            started = StartEditing(EditStart::kSelectAll);
            break;
        default:
            if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
                started = StartEditing(EditStart::kChar, event->text());
            }
            break;
        }
        if (started) return;
    }
    QTableWidget::keyPressEvent(event);
}

void GridCtrl::mousePressEvent(QMouseEvent* event) {
    const QModelIndex pressed = indexAt(event->position().toPoint());
    m_pressedOnCurrent = pressed.isValid() && pressed == currentIndex() && event->button() == Qt::LeftButton
                             ? QPersistentModelIndex(pressed)
                             : QPersistentModelIndex();
    QTableWidget::mousePressEvent(event);
}

void GridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    // A click on the cell that already had the focus edits it.
    if (m_pressedOnCurrent.isValid() && indexAt(event->position().toPoint()) == m_pressedOnCurrent &&
        state() != EditingState) {
        StartEditing(EditStart::kKeepText);
    }
}

void GridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton) emit gridDoubleClicked(index.row() + 1, index.column());
}

void GridCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        // Below the rows the menu opens too, with no row chosen: Insert Row appends.
        setCurrentIndex(indexAt(event->pos()));
        emit gridContextMenu(event->globalPos());
        return;
    }
    const CellId focus = GetFocusCell();
    const QRect cell = focus.row < 0 ? QRect() : GetCellRect(focus.row, focus.column);
    emit gridContextMenu(mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0)));
}

}  // namespace gw
