// Data-bound grid: a table view over a data connection's record set.
//
// Rows are fetched on demand through Recordset::valuesAt for the rows the view
// shows; the row count is read once per refresh. The grid's selected row IS
// the connection's current row, both ways. Rows it keeps for painting are
// shown again only while the file stands as it was, whoever wrote to it
// (checked once per turn of the event loop, not per cell), and the rows
// follow the record set's count when a walk of its keys puts it right.
//
// A grid that has never been on screen neither counts its rows nor lays them
// out: the main window binds grids to whole tables that its first screen does
// not show, and a start must not cost more as the tables grow. The grid takes
// its rows when it is first shown.
//
// A read the grid makes for itself (counting its rows as it is shown, a row
// it paints, the look at the file after a paint) may be refused while
// another program holds the file. Such an error never leaves the paint or
// the showing: the grid shows nothing it could not read, tells the clerk
// once after the event that read, and then looks at the file at its paints
// and once a second, without waiting for it, so that its rows come back
// once the file is free.
#pragma once

#include "platform/db/dataconnection.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QHash>
#include <QPointer>
#include <QTableView>
#include <QVector>

#include <functional>
#include <optional>
#include <utility>

class QTimer;

namespace platform {

// A column as (caption, field); a column whose caption is the field name
// shows just the field's name as its heading.
using GridColumn = std::pair<QString, QString>;
using GridColumns = QVector<GridColumn>;

// How the program tells the clerk of a database error that no action of
// theirs ran into (its data-error box). Without one the error's own text
// is shown in a critical box.
using DataErrorReporter = std::function<void(const db::DbError&)>;
void setDataErrorReporter(DataErrorReporter reporter);
// Tells the clerk of such an error as the program does.
void reportDataError(const db::DbError& error);

class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    // Empty columns: every field of the record set, captioned by name.
    void setConnection(db::DataConnection* connection, const GridColumns& columns = {});
    db::DataConnection* connection() const { return m_connection; }
    void setColumns(const GridColumns& columns);

    // Field name shown in a column, or "" when out of range.
    QString fieldOf(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The text a cell shows for a stored value: reals by
    // platform::shortestNumber, whole numbers in plain digits, yes/no fields
    // as "Igaz"/"Hamis"; other values as they are (the edit role keeps the
    // stored value).
    static QVariant cellText(const QVariant& value);
    // Cells of the named field are written by `text` instead (the stored
    // value in, the shown text out), whatever record source is shown.
    using CellText = std::function<QString(const QVariant&)>;
    void setFieldText(const QString& field, CellText text);
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Re-reads the count and the column set (connection refreshed). A
    // refused count leaves no rows and throws, the clerk being told by
    // whoever refreshed; the rows are counted again at the next paint.
    void reload();

    // A read of the grid's file that a window made for itself as it came up
    // was refused: told as the grid's own refusals are, at most once until a
    // read succeeds again, which readsResumed() then reports.
    void readRefused(const db::DbError& error) const;
    // The count is still to be read after a refusal.
    bool countOwed() const { return m_countOwed; }
    // Reads again, after the current event, what a refusal left unread.
    void readAgainLater() const;

    // A dormant model shows no rows and reads no count; waking it shows the
    // record set's rows.
    void setDormant(bool dormant);
    bool dormant() const { return m_dormant; }

    // Cells of existing rows may be edited in place (the old AllowUpdate);
    // an edit is written to its row at once, with no check.
    void setAllowUpdate(bool allow) { m_allowUpdate = allow; }
    bool allowUpdate() const { return m_allowUpdate; }
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A read succeeded after reads of the file were refused.
    void readsResumed();
    // The clerk has been told of a refused read (the box is closed).
    void refusalTold();

private:
    void load(bool quietly);
    void readAgain();
    void readSucceeded() const;
    // The next turn of the event loop ends the current one for the grid.
    void endTurnLater() const;
    void resolveColumns();
    void rowsEdited();
    // Drops the kept rows once another program (or anything) has written to
    // the file; the first cell asked for in a turn of the event loop asks.
    void checkStoredRows() const;
    void turnEnded();

    QPointer<db::DataConnection> m_connection;
    GridColumns m_requested;
    GridColumns m_columns;       // resolved
    QVector<int> m_fieldIndex;   // record-set field index per column, -1 when absent
    QHash<QString, CellText> m_fieldText;
    int m_rowCount = 0;
    bool m_dormant = false;
    bool m_allowUpdate = false;
    // Rows fetched for painting, so that one visible row costs one fetch per
    // field however often the view asks; emptied whenever the rows change.
    mutable QCache<int, QVector<QVariant>> m_rows{512};
    mutable quint64 m_rowsStamp = 0;   // the file's data stamp the kept rows were read at
    mutable bool m_checkedThisTurn = false;
    // Reads refused: in this turn (the rest of the paint reads nothing
    // more), told to the clerk, the count and some cells left unread.
    mutable bool m_refusedThisTurn = false;
    mutable bool m_refusalTold = false;
    mutable bool m_countOwed = false;
    mutable bool m_cellsRefused = false;
    mutable bool m_readAgainQueued = false;
    mutable std::optional<db::DbError> m_turnRefusal;
    // Looks again once a second while a told refusal is unresolved.
    QTimer* m_readAgainTimer;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    // Binds the grid (the old DataSource property). The connection is not owned.
    void setDataSource(db::DataConnection* connection, const GridColumns& columns = {});
    db::DataConnection* dataSource() const { return m_model.connection(); }
    RecordsetModel& recordsetModel() { return m_model; }

    // Cells of existing rows may be edited in place (typing into a cell or
    // F2); rows are never added or deleted through the grid. Off by default.
    void setAllowUpdate(bool allow);

    // Zero-based selected row; -1 when none.
    int row() const;

    // Which double-clicks DblClick reports. By default only one on a row: a
    // pick grid acts on the row the clerk double-clicked. A grid that a
    // double-click puts away reports one anywhere in it, its empty part and
    // its headers included, so a few rows never leave it stuck on screen.
    void setDblClickAnywhere(bool anywhere) { m_dblClickAnywhere = anywhere; }
    bool dblClickAnywhere() const { return m_dblClickAnywhere; }

signals:
    void Click();
    void DblClick();
    // Old key code and shift state (events.h); Events::onKeyDown also works.
    void KeyDown(int keyCode, int shift);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectCurrentRecord();
    void selectionMoved(const QModelIndex& current);

    RecordsetModel m_model;
    bool m_syncing = false;
    bool m_dblClickAnywhere = false;
};

} // namespace platform
