// Data-bound combo: an editable combo whose list is one field (ListField) of
// a data connection's record set (RowSource). The list is a model over the
// record set, fetched on demand, so lists of tens of thousands of codes stay
// responsive.
//
// text() is the chosen entry or the typed text. setText() by code fires
// Change, as typing does. Choosing an entry from the list (a click or Enter
// in the opened list, or an arrow key in the closed box) fires Click(2) (the
// list area) after the text has changed; nothing else does: entering or
// leaving the box, opening and closing the list, or turning the mouse wheel
// over it, is no choice.
//
// The list opens on the entry the text shows, found by the engine (an index
// on the field serves it), not by reading the rows one by one; its rows are
// of one height and read only as they come into view, so a list of 50,000
// codes opens as fast as one of ten.
//
// Every list box of the program (DBCombo or plain combo) follows two rules
// of its own, see guardListBoxes() and setListOnly() below.
#pragma once

#include "platform/db/dataconnection.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QPointer>

namespace platform {

class ListFieldModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListFieldModel(QObject* parent = nullptr);

    void setSource(db::DataConnection* connection, const QString& listField);
    db::DataConnection* connection() const { return m_connection; }
    QString listField() const { return m_field; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void reload();

    // The first row whose field reads exactly the text; -1 when none does.
    int rowOf(const QString& text) const;

    // The open list's viewport: an entry it paints that cannot be read does
    // not stop the paint (the reads of the box itself still throw).
    void paintsIn(QWidget* list) { m_list = list; }

private:
    // An entry the open list paints may be refused while another program
    // holds the file: it shows blank, the rest of the turn reads nothing,
    // and the clerk is told once, after the paint, until an entry is read
    // again; then the list paints its entries again.
    void readRefused(const db::DbError& error) const;
    // Each entry would wait as long: the rest of this paint reads none.
    void readNoMoreThisTurn() const;

    QPointer<db::DataConnection> m_connection;
    QString m_field;
    int m_fieldIndex = -1;
    int m_rowCount = 0;
    mutable bool m_refusedThisTurn = false;
    mutable bool m_refusalTold = false;
    QPointer<QWidget> m_list;
};

class DBCombo : public QComboBox {
    Q_OBJECT
public:
    // Click areas of the old control.
    enum Area { AreaButton = 0, AreaEdit = 1, AreaList = 2 };

    explicit DBCombo(QWidget* parent = nullptr);

    void setRowSource(db::DataConnection* connection, const QString& listField);
    db::DataConnection* rowSource() const { return m_model.connection(); }
    QString listField() const { return m_model.listField(); }

    QString text() const { return currentText(); }
    void setText(const QString& text);

    // Record-set row of the entry last chosen from the list; -1 when the text
    // was typed or set by code.
    int selectedRow() const { return m_selectedRow; }

    // Opens the list on the entry the text shows.
    void showPopup() override;

signals:
    void Change();
    void Click(int area);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void entryChosen(int index);
    // Puts the list's current entry on the text on show, so the list opens
    // on it and the arrow keys step from it; -1 when no entry reads so.
    int followText();

    ListFieldModel m_model;
    int m_selectedRow = -1;
    QString m_lastText;
    bool m_reloading = false;
    QString m_keptText;
};

// The mouse wheel turns no list box that the clerk has not put the focus in:
// over such a box it scrolls whatever holds the box, and it never puts the
// focus there itself. guardListBox() puts the rule on one box;
// guardListBoxes() makes every list box of the program get it when it is
// first shown. The event layer of every window calls it, as it does for the
// text boxes' rule (guardTextBoxes in controls.h).
void guardListBox(QComboBox* box);
void guardListBoxes();

// A list-only box: its text changes only by a pick from its list (or by the
// program). Keys, paste, cut, delete, drag and drop and the context menu edit
// nothing in it; a text it shows can still be copied.
void setListOnly(QComboBox* box);

} // namespace platform
