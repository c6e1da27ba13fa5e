// statform: the code statistics, the recorded quantity of every expenditure
// code totalled over all items of the entered data, shown in a grid and
// printed on the current printer. Nothing of the program opens it but the
// main window's procedure statmutat.
#pragma once

#include "platform/ui/legacyform.h"

#include <QString>

#include <memory>

struct ProgramInfo;

namespace platform {
class DBGrid;
class DrawTarget;
class Printer;
class SSCommand;
namespace db {
class DataConnection;
class Database;
class Recordset;
}
}

// The grouping of the statistics: one row per item code with its quantity
// total `summenny` (a number). The stored quantities are texts with a
// decimal comma and blanks between thousands; items whose identifier is
// empty or "0" belong to no episode and do not count.
QString statSource();

// Prints the totals of a grouped record set in character cells (Arial 12):
// the code at column 2 and its total at column 30 of lines 1, 2, 3, ...,
// continuing at line 1 of a new page when a page is full. A set without
// totals (not grouped yet) prints nothing; an empty one starts no document.
void statnyom(platform::db::Recordset& rs, platform::Printer& printer);

class statform : public platform::LegacyForm {
    Q_OBJECT
public:
    explicit statform(const ProgramInfo& info, QWidget* parent = nullptr);
    ~statform() override;

    platform::db::DataConnection* Data1 = nullptr;
    platform::DBGrid* DBGrid1 = nullptr;
    platform::SSCommand* Command1 = nullptr; // "Leválogat kód szerint"
    platform::SSCommand* Command2 = nullptr; // "Nyomtatás"

    void Command1_Click();
    void Command2_Click();

private:
    std::shared_ptr<platform::db::Database> m_entered;
};
