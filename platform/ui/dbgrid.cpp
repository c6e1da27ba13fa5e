#include "platform/ui/dbgrid.h"

#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"
#include "platform/sys/regional.h"

#include <QHeaderView>
#include <QTimer>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

namespace {

DataErrorReporter& dataErrorReporter()
{
    static DataErrorReporter reporter;
    return reporter;
}

} // namespace

void setDataErrorReporter(DataErrorReporter reporter)
{
    dataErrorReporter() = std::move(reporter);
}

void reportDataError(const db::DbError& error)
{
    if (dataErrorReporter())
        dataErrorReporter()(error);
    else
        msgBox(error.clerkText(), Critical, QStringLiteral("Hiba"));
}

// ------------------------------------------------------------ RecordsetModel

RecordsetModel::RecordsetModel(QObject* parent)
    : QAbstractTableModel(parent), m_readAgainTimer(new QTimer(this))
{
    m_readAgainTimer->setInterval(1000);
    connect(m_readAgainTimer, &QTimer::timeout, this, &RecordsetModel::readAgain);
}

void RecordsetModel::setConnection(db::DataConnection* connection, const GridColumns& columns)
{
    if (m_connection)
        disconnect(m_connection, nullptr, this, nullptr);
    m_connection = connection;
    m_requested = columns;
    if (connection) {
        connect(connection, &db::DataConnection::refreshed, this, &RecordsetModel::reload);
        connect(connection, &db::DataConnection::rowsChanged, this, &RecordsetModel::rowsEdited);
    }
    reload();
}

void RecordsetModel::setColumns(const GridColumns& columns)
{
    m_requested = columns;
    reload();
}

QString RecordsetModel::fieldOf(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).second : QString();
}

void RecordsetModel::resolveColumns()
{
    m_columns.clear();
    m_fieldIndex.clear();
    if (!m_connection)
        return;
    db::Recordset& rs = m_connection->recordset();
    if (m_requested.isEmpty()) {
        for (const QString& field : rs.fieldNames())
            m_columns.append({field, field});
    } else {
        m_columns = m_requested;
    }
    for (const GridColumn& column : std::as_const(m_columns))
        m_fieldIndex.append(rs.fieldIndex(column.second));
}

void RecordsetModel::reload()
{
    load(false);
}

void RecordsetModel::load(bool quietly)
{
    // The count is read before the reset begins: a refused one still ends
    // the reset, on no rows, and the view never stands on a reset half done.
    int count = 0;
    std::optional<db::DbError> refused;
    if (m_connection && !m_dormant) {
        try {
            count = m_connection->recordset().recordCount();
        } catch (const db::DbError& e) {
            refused = e;
        }
    }
    beginResetModel();
    m_rows.clear();
    m_cellsRefused = false;
    m_countOwed = refused.has_value();
    resolveColumns();
    m_rowCount = count;
    endResetModel();
    if (!refused) {
        if (m_connection && !m_dormant)
            readSucceeded();
        return;
    }
    if (quietly) {
        readRefused(*refused);
        return;
    }
    // Whoever refreshed tells the clerk; the grid does not tell again.
    m_refusalTold = true;
    m_readAgainTimer->start();
    throw *refused;
}

void RecordsetModel::setDormant(bool dormant)
{
    if (m_dormant == dormant)
        return;
    m_dormant = dormant;
    // Coming on screen is no action of the clerk's: a refused count is told
    // after the showing, not thrown through it.
    load(true);
}

void RecordsetModel::readRefused(const db::DbError& error) const
{
    m_refusedThisTurn = true;
    m_turnRefusal = error;
    endTurnLater();
    if (m_refusalTold)
        return;
    m_refusalTold = true;
    m_readAgainTimer->start();
    // Told after the event that read (a paint, a showing), never inside it;
    // once the clerk has read it the grid reads again, as the file may be
    // free by then.
    auto* self = const_cast<RecordsetModel*>(this);
    QMetaObject::invokeMethod(
        self,
        [self, error] {
            reportDataError(error);
            emit self->refusalTold();
            self->readAgain();
        },
        Qt::QueuedConnection);
}

void RecordsetModel::readSucceeded() const
{
    if (!m_refusalTold)
        return;
    m_refusalTold = false;
    m_readAgainTimer->stop();
    // Reported after the event that read: a paint is no place for a window
    // to count its rows or move its current row.
    auto* self = const_cast<RecordsetModel*>(this);
    QMetaObject::invokeMethod(
        self,
        [self] {
            if (self->m_cellsRefused && self->m_rowCount > 0 && !self->m_columns.isEmpty()) {
                self->m_cellsRefused = false;
                emit self->dataChanged(self->index(0, 0),
                                       self->index(self->m_rowCount - 1, int(self->m_columns.size()) - 1));
            }
            emit self->readsResumed();
        },
        Qt::QueuedConnection);
}

void RecordsetModel::readAgainLater() const
{
    if (m_readAgainQueued)
        return;
    m_readAgainQueued = true;
    QMetaObject::invokeMethod(const_cast<RecordsetModel*>(this), &RecordsetModel::readAgain, Qt::QueuedConnection);
}

void RecordsetModel::readAgain()
{
    m_readAgainQueued = false;
    if (!m_connection || m_dormant) {
        m_readAgainTimer->stop();
        return;
    }
    const std::shared_ptr<db::Database> db = m_connection->database();
    // While the file is still held nothing waits for it: the clerk has
    // been told, and the grid looks again at its next paint or a second on.
    if (!db || !db->readableNow())
        return;
    if (m_countOwed)
        load(true);
    else
        readSucceeded();
}

void RecordsetModel::rowsEdited()
{
    m_rows.clear();
    if (m_dormant)
        return;
    const int count = m_connection ? m_connection->recordset().recordCount() : 0;
    if (count > m_rowCount) {
        // An added row joins the end of the set.
        beginInsertRows({}, m_rowCount, count - 1);
        m_rowCount = count;
        endInsertRows();
        if (m_rowCount > 1 && !m_columns.isEmpty())
            emit dataChanged(index(0, 0), index(m_rowCount - 1, int(m_columns.size()) - 1));
    } else if (count == m_rowCount) {
        if (m_rowCount > 0 && !m_columns.isEmpty())
            emit dataChanged(index(0, 0), index(m_rowCount - 1, int(m_columns.size()) - 1));
    } else {
        beginResetModel();
        m_rowCount = count;
        endResetModel();
    }
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_connection || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int row = index.row();
    const int column = index.column();
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columns.size())
        return {};
    if (!m_checkedThisTurn)
        checkStoredRows();
    QVector<QVariant>* cached = m_rows.object(row);
    if (!cached) {
        // A refused row shows blank and is not kept; once one is refused the
        // rest of the turn asks the held file no more.
        if (m_refusedThisTurn) {
            m_cellsRefused = true;
            if (m_turnRefusal)
                readRefused(*m_turnRefusal);
            return {};
        }
        QVector<QVariant> stored;
        try {
            stored = m_connection->recordset().valuesAt(row);
        } catch (const db::DbError& e) {
            m_cellsRefused = true;
            readRefused(e);
            return {};
        }
        readSucceeded();
        auto* values = new QVector<QVariant>(m_columns.size());
        for (int c = 0; c < m_columns.size(); ++c)
            if (m_fieldIndex.at(c) >= 0)
                (*values)[c] = stored.value(m_fieldIndex.at(c));
        m_rows.insert(row, values);
        cached = values;
    }
    const QVariant& value = cached->at(column);
    if (role != Qt::DisplayRole)
        return value;
    if (!m_fieldText.isEmpty()) {
        const auto own = m_fieldText.constFind(m_columns.at(column).second);
        if (own != m_fieldText.cend())
            return own.value()(value);
    }
    return cellText(value);
}

void RecordsetModel::checkStoredRows() const
{
    // One look per turn: a paint asks for every cell on screen, and each
    // look takes the file's read lock for a moment.
    endTurnLater();
    const std::shared_ptr<db::Database> db = m_connection ? m_connection->database() : nullptr;
    if (!db)
        return;
    // Once the clerk has been told, a file still held is not waited for at
    // every paint.
    if (m_refusalTold && !db->readableNow()) {
        m_refusedThisTurn = true;
        return;
    }
    try {
        const quint64 stamp = db->dataStamp();
        if (stamp != m_rowsStamp) {
            m_rows.clear();
            m_rowsStamp = stamp;
        }
    } catch (const db::DbError& e) {
        // Another program held the file past the busy timeout: the rows on
        // screen stay as they are, and the next turn asks again. Rows not
        // kept are not asked for in this turn (each would wait as long);
        // the clerk hears of it only if one of them goes unshown.
        m_refusedThisTurn = true;
        m_turnRefusal = e;
    }
}

void RecordsetModel::endTurnLater() const
{
    if (m_checkedThisTurn)
        return;
    m_checkedThisTurn = true;
    QMetaObject::invokeMethod(const_cast<RecordsetModel*>(this), &RecordsetModel::turnEnded, Qt::QueuedConnection);
}

void RecordsetModel::turnEnded()
{
    m_checkedThisTurn = false;
    const bool refused = m_refusedThisTurn;
    m_refusedThisTurn = false;
    m_turnRefusal.reset();
    // The file was held in this turn: the count is looked at in the next.
    if (!m_connection || m_dormant || refused || m_countOwed)
        return;
    // Reading the keys it had not read yet puts the set's count right when
    // another program added or deleted rows; the rows shown follow at their
    // end, and rows counted from the end of the set have moved with it.
    int count = 0;
    try {
        count = m_connection->recordset().recordCount();
    } catch (const db::DbError& e) {
        readRefused(e);
        return;
    }
    if (count == m_rowCount)
        return;
    m_rows.clear();
    if (count > m_rowCount) {
        beginInsertRows({}, m_rowCount, count - 1);
        m_rowCount = count;
        endInsertRows();
    } else {
        beginRemoveRows({}, count, m_rowCount - 1);
        m_rowCount = count;
        endRemoveRows();
    }
    if (m_rowCount > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rowCount - 1, int(m_columns.size()) - 1));
}

void RecordsetModel::setFieldText(const QString& field, CellText text)
{
    m_fieldText.insert(field, std::move(text));
    if (m_rowCount > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rowCount - 1, int(m_columns.size()) - 1), {Qt::DisplayRole});
}

QVariant RecordsetModel::cellText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        // A clerk reads a stored real the way it is written by hand: every
        // digit (2200000, never 2.2e+06), no binary noise (693,6 rather than
        // 693,5999999999999) and the regional decimal separator.
        return shortestNumber(value.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
        // Identifiers and counts: the view would group them ("12 345").
        return QString::number(value.toLongLong());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Igaz") : QStringLiteral("Hamis");
    default:
        return value;
    }
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_allowUpdate && index.isValid() && m_connection && m_fieldIndex.value(index.column(), -1) >= 0
        && m_connection->recordset().updatable())
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    db::Recordset& rs = m_connection->recordset();
    if (index.row() < 0 || index.row() >= rs.recordCount())
        return false;
    if (rs.absolutePosition() != index.row() || !rs.hasCurrent())
        rs.setAbsolutePosition(index.row());
    rs.edit();
    rs.setValue(fieldOf(index.column()), value);
    rs.update();
    return true;
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return {};
    if (section < 0 || section >= m_columns.size())
        return {};
    return m_columns.at(section).first;
}

// -------------------------------------------------------------------- DBGrid

DBGrid::DBGrid(QWidget* parent) : QTableView(parent)
{
    m_model.setDormant(true);
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // Fixed row heights: the view never measures every row of a large set.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { selectionMoved(current); });
    // The headers take their own mouse input; a grid that reports a
    // double-click anywhere hears theirs here.
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    // Rows counted again after a refusal show the current row selected; a
    // grid that kept its rows stays where the clerk scrolled it.
    connect(&m_model, &RecordsetModel::readsResumed, this, [this] {
        if (!selectionModel()->currentIndex().isValid())
            selectCurrentRecord();
    });
    // The box about a refused read came from the grid's window, whichever
    // window was active: without a window manager nobody hands the
    // activation back to it, and its window would not hear its activation.
    connect(&m_model, &RecordsetModel::refusalTold, this, [this] {
        if (isVisible() && !window()->isActiveWindow())
            window()->activateWindow();
    });
}

void DBGrid::setDataSource(db::DataConnection* connection, const GridColumns& columns)
{
    if (db::DataConnection* old = m_model.connection())
        disconnect(old, nullptr, this, nullptr);
    m_model.setConnection(connection, columns);
    if (connection) {
        connect(connection, &db::DataConnection::currentChanged, this, &DBGrid::selectCurrentRecord);
        // The model resets first (it connected first); then the new current
        // row is shown selected.
        connect(connection, &db::DataConnection::refreshed, this, &DBGrid::selectCurrentRecord);
        connect(connection, &db::DataConnection::rowsChanged, this, &DBGrid::selectCurrentRecord);
    }
    selectCurrentRecord();
}

void DBGrid::setAllowUpdate(bool allow)
{
    m_model.setAllowUpdate(allow);
    // A double click stays the grid's own event; typing or F2 starts an edit.
    setEditTriggers(allow ? QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                          : QAbstractItemView::NoEditTriggers);
}

int DBGrid::row() const
{
    if (m_model.dormant()) {
        // Not laid out yet: the row it will show selected.
        db::DataConnection* connection = m_model.connection();
        if (!connection || !connection->recordset().hasCurrent())
            return -1;
        return connection->recordset().absolutePosition();
    }
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void DBGrid::showEvent(QShowEvent* event)
{
    if (m_model.dormant()) {
        m_model.setDormant(false);
        selectCurrentRecord();
    }
    QTableView::showEvent(event);
}

void DBGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    // A grid whose count was refused reads again after each paint: its rows
    // come back once the file is free, without a new choice.
    if (m_model.countOwed())
        m_model.readAgainLater();
}

void DBGrid::selectCurrentRecord()
{
    db::DataConnection* connection = m_model.connection();
    // With its count refused the grid has no row to stand on.
    if (!connection || m_syncing || m_model.dormant() || m_model.countOwed())
        return;
    m_syncing = true;
    db::Recordset& rs = connection->recordset();
    const int position = rs.hasCurrent() ? rs.absolutePosition() : -1;
    if (position >= 0 && position < m_model.rowCount()) {
        const int column = qMax(0, currentIndex().column());
        const QModelIndex index = m_model.index(position, column);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_syncing = false;
}

void DBGrid::selectionMoved(const QModelIndex& current)
{
    db::DataConnection* connection = m_model.connection();
    if (!connection || m_syncing || !current.isValid())
        return;
    m_syncing = true;
    db::Recordset& rs = connection->recordset();
    if (rs.absolutePosition() != current.row() || !rs.hasCurrent())
        rs.setAbsolutePosition(current.row());
    m_syncing = false;
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(legacyKeyCode(event->key()), legacyShift(event->modifiers()));
    QTableView::keyPressEvent(event);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit Click();
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton
        && (m_dblClickAnywhere || indexAt(event->position().toPoint()).isValid()))
        emit DblClick();
}

bool DBGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (m_dblClickAnywhere && event->type() == QEvent::MouseButtonDblClick
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
        && (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport()))
        emit DblClick();
    return QTableView::eventFilter(watched, event);
}

} // namespace platform
