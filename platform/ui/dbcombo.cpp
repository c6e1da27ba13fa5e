#include "platform/ui/dbcombo.h"

#include "platform/db/dialect.h"
#include "platform/ui/dbgrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace platform {

// ------------------------------------------------------------ ListFieldModel

ListFieldModel::ListFieldModel(QObject* parent) : QAbstractListModel(parent) {}

void ListFieldModel::setSource(db::DataConnection* connection, const QString& listField)
{
    if (m_connection)
        disconnect(m_connection, nullptr, this, nullptr);
    m_connection = connection;
    m_field = listField;
    if (connection) {
        connect(connection, &db::DataConnection::refreshed, this, &ListFieldModel::reload);
        connect(connection, &db::DataConnection::rowsChanged, this, &ListFieldModel::reload);
    }
    reload();
}

void ListFieldModel::reload()
{
    // Read before the reset begins: a refused read leaves the list as it
    // was, never on a reset half done.
    int fieldIndex = -1;
    int rowCount = 0;
    if (m_connection) {
        db::Recordset& rs = m_connection->recordset();
        fieldIndex = rs.fieldIndex(m_field);
        rowCount = rs.recordCount();
    }
    beginResetModel();
    m_fieldIndex = fieldIndex;
    m_rowCount = rowCount;
    endResetModel();
}

int ListFieldModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

QVariant ListFieldModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_connection || m_fieldIndex < 0 || index.row() >= m_rowCount)
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    // Only the open list's paint is spared a refusal; the box's own reads
    // (the text of a pick) still throw to the handler that made them.
    const bool painting = m_list && m_list->testAttribute(Qt::WA_WState_InPaintEvent);
    if (painting && m_refusedThisTurn)
        return {};
    // Once told, a file still held is not waited for at every paint.
    if (painting && m_refusalTold) {
        const std::shared_ptr<db::Database> db = m_connection->database();
        if (db && !db->readableNow()) {
            readNoMoreThisTurn();
            return {};
        }
    }
    QString text;
    try {
        text = m_connection->recordset().valueAt(index.row(), m_fieldIndex).toString();
    } catch (const db::DbError& e) {
        if (!painting)
            throw;
        readRefused(e);
        return {};
    }
    m_refusalTold = false;
    return text;
}

void ListFieldModel::readNoMoreThisTurn() const
{
    if (m_refusedThisTurn)
        return;
    m_refusedThisTurn = true;
    auto* self = const_cast<ListFieldModel*>(this);
    QMetaObject::invokeMethod(self, [self] { self->m_refusedThisTurn = false; }, Qt::QueuedConnection);
}

void ListFieldModel::readRefused(const db::DbError& error) const
{
    readNoMoreThisTurn();
    if (m_refusalTold)
        return;
    m_refusalTold = true;
    auto* self = const_cast<ListFieldModel*>(this);
    QMetaObject::invokeMethod(
        self,
        [self, error] {
            reportDataError(error);
            // The file may be free once the clerk has read the box: the list
            // paints again (a change of the entries would lay the whole list
            // out anew, reading it).
            if (self->m_list)
                self->m_list->update();
        },
        Qt::QueuedConnection);
}

int ListFieldModel::rowOf(const QString& text) const
{
    if (!m_connection || m_fieldIndex < 0)
        return -1;
    // The engine finds the rows (an index on the field serves it); of those
    // that it takes for equal, the entry reads exactly so, letter case too.
    const db::Recordset& rs = m_connection->recordset();
    const QString criterion = db::dialect::quoteIdent(rs.fieldNames().value(m_fieldIndex)) + QStringLiteral(" = ?");
    for (int row : rs.positionsWhere(criterion, {text}))
        if (row < m_rowCount && rs.valueAt(row, m_fieldIndex).toString() == text)
            return row;
    return -1;
}

// ------------------------------------------------------------------- DBCombo

DBCombo::DBCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would change the typed text behind the clerk's back
    // and scan the whole list on every key.
    setCompleter(nullptr);
    // Sizing to the contents would read every entry of a long list.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    setModel(&m_model);
    m_model.paintsIn(view()->viewport());
    // A new list keeps the text on show, as the old control did, and is no
    // Change. The combo's own reset handling (connected first by setModel)
    // moves to the first entry; the text is put back after it.
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_reloading = true;
        m_keptText = currentText();
    });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        setEditText(m_keptText);
        m_reloading = false;
    });
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_reloading || text == m_lastText)
            return;
        m_lastText = text;
        emit Change();
    });
    connect(this, &QComboBox::activated, this, &DBCombo::entryChosen);
    // The editable combo takes the entry matching its text as chosen when
    // its edit loses the focus or its list opens, which would make a mere
    // pass through the box a Click. Only a real choice is one.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
}

void DBCombo::setRowSource(db::DataConnection* connection, const QString& listField)
{
    m_model.setSource(connection, listField);
}

void DBCombo::setText(const QString& text)
{
    m_selectedRow = -1;
    setEditText(text);
}

int DBCombo::followText()
{
    const QString shown = currentText();
    if (currentIndex() >= 0 && itemText(currentIndex()) == shown)
        return currentIndex();
    const int row = m_model.rowOf(shown);
    // The text stays as it is, so this is no Change.
    const QSignalBlocker quiet(this);
    if (row >= 0) {
        setCurrentIndex(row);
    } else if (currentIndex() >= 0) {
        // A text that is no entry stands on none: an arrow key then steps
        // from the top, not from an entry picked before and no longer shown.
        setCurrentIndex(-1);
        setEditText(shown);
    }
    return row;
}

void DBCombo::showPopup()
{
    const int row = followText();
    QComboBox::showPopup();
    if (row < 0 && view()) {
        // A text that is no entry (a ward since removed): nothing stands
        // highlighted, so Enter takes nothing the clerk did not point at.
        view()->clearSelection();
        view()->setCurrentIndex(QModelIndex());
    }
}

void DBCombo::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        followText();
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(event);
}

void DBCombo::wheelEvent(QWheelEvent* event)
{
    // Scrolling the window past the box chooses nothing.
    event->ignore();
}

void DBCombo::entryChosen(int index)
{
    m_selectedRow = index;
    // Choosing the entry already on show changes no text, but is a Click.
    if (currentText() != m_lastText) {
        m_lastText = currentText();
        emit Change();
    }
    emit Click(AreaList);
}

// ---------------------------------------------------------------- list boxes

namespace {

// The box a wheel event over `target` would turn: the box itself, or the box
// whose text part it is.
QComboBox* boxTurnedBy(QObject* target)
{
    if (auto* box = qobject_cast<QComboBox*>(target))
        return box;
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        if (auto* box = qobject_cast<QComboBox*>(edit->parent()); box && box->lineEdit() == edit)
            return box;
    return nullptr;
}

bool clerkIsIn(const QComboBox* box)
{
    return box->hasFocus() || (box->lineEdit() && box->lineEdit()->hasFocus());
}

// The program puts an episode's text into an editable list box without
// choosing its entry, so the box may still remember the entry picked for an
// earlier episode. Before the clerk steps or opens the list, the box is put
// on the entry it shows (or on none for an empty text), so a step goes on
// from what is on screen, or from the top for a text that is no entry. The
// text stays as it is, so nothing changes.
void followShownText(QComboBox* box)
{
    if (!box->isEditable() || qobject_cast<DBCombo*>(box))
        return; // a bound list finds its entry itself, by the index
    const QString shown = box->currentText();
    int row = box->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A stored code is shown as its code alone ("2"), the list says
    // "2 - Másik intézet": that entry is the one on show.
    for (int i = 0; row < 0 && !shown.isEmpty() && i < box->count(); ++i) {
        const QString entry = box->itemText(i);
        if (entry.size() > shown.size() && entry.startsWith(shown) && !entry.at(shown.size()).isLetterOrNumber())
            row = i;
    }
    if (row == box->currentIndex())
        return;
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(row);
    // The text on show stays as it is: a code shown alone, or a text that is
    // no entry, until the clerk picks.
    if (box->currentText() != shown)
        box->setEditText(shown);
}

bool stepsOrOpens(const QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
        return true;
    default:
        return false;
    }
}

class ListBoxGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Polish:
            // Every widget is polished once, before it is first shown.
            if (auto* box = qobject_cast<QComboBox*>(watched))
                guardListBox(box);
            break;
        case QEvent::Wheel:
            if (QComboBox* box = boxTurnedBy(watched)) {
                if (!clerkIsIn(box)) {
                    // Ignored, the wheel goes on to what holds the box.
                    event->ignore();
                    return true;
                }
                followShownText(box);
            }
            break;
        case QEvent::KeyPress:
            if (QComboBox* box = boxTurnedBy(watched); box && stepsOrOpens(static_cast<QKeyEvent*>(event)))
                followShownText(box);
            break;
        case QEvent::MouseButtonPress:
            if (auto* box = qobject_cast<QComboBox*>(watched))
                followShownText(box);
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

void guardListBox(QComboBox* box)
{
    // A wheel turned over a box would otherwise put the focus there first,
    // and then turn it.
    if ((box->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
        box->setFocusPolicy(Qt::StrongFocus);
}

void guardListBoxes()
{
    static ListBoxGuard* guard = nullptr;
    if (guard)
        return;
    guard = new ListBoxGuard(qApp);
    qApp->installEventFilter(guard);
    // Boxes shown before the first window's event layer was made.
    for (QWidget* w : QApplication::allWidgets())
        if (auto* box = qobject_cast<QComboBox*>(w))
            guardListBox(box);
}

void setListOnly(QComboBox* box)
{
    // A read-only text part takes no key, paste, cut, delete or drop, and its
    // context menu offers nothing that edits; the box's own keys (the arrows,
    // F4) still step through and open the list.
    if (QLineEdit* edit = box->lineEdit())
        edit->setReadOnly(true);
}

} // namespace platform
