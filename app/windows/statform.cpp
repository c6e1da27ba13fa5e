#include "app/windows/statform.h"

#include "app/common/programinfo.h"
#include "app/entry/quantity.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"

#include <QDir>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cmath>

using platform::db::Database;
using platform::db::DataConnection;

namespace {

const QString kTotal = QStringLiteral("summenny");

// A quantity total, written the way quantities are written everywhere.
QString totalText(const QVariant& value)
{
    return value.isValid() && !value.isNull() ? entry::formatQuantity(value.toDouble()) : QString();
}

} // namespace

QString statSource()
{
    // Totals per code only: the type letter is not part of the grouping.
    return QStringLiteral("select Rkod, sum(cast(replace(replace(Rmen, ' ', ''), ',', '.') as real)) as summenny "
                          "from Ráfkódok where Azonosito > '0' group by Rkod order by Rkod");
}

void statnyom(platform::db::Recordset& rs, platform::Printer& printer)
{
    if (rs.fieldIndex(kTotal) < 0 || rs.recordCount() == 0)
        return;
    printer.setScaleMode(platform::vbCharacters);
    printer.FontName = QStringLiteral("Arial");
    printer.FontSize = 12;
    // Whole lines of the printable area: a line at row n reaches down to n + 1.
    const int lastLine = std::max(1, int(std::floor(printer.ScaleHeight())) - 1);
    int line = 1;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        if (line > lastLine) {
            printer.NewPage();
            line = 1;
        }
        printer.CurrentX = 2;
        printer.CurrentY = line;
        printer.Print(rs.text(QStringLiteral("Rkod")));
        printer.CurrentX = 30;
        printer.CurrentY = line;
        printer.Print(totalText(rs.value(kTotal)));
        ++line;
    }
    printer.EndDoc();
}

statform::statform(const ProgramInfo& info, QWidget* parent) : platform::LegacyForm(parent)
{
    setObjectName(QStringLiteral("statform"));
    setWindowTitle(QStringLiteral("Statisztika"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 480);

    // The entered-data file of the working folder, by its plain name.
    m_entered = Database::open(QDir::current().filePath(info.enteredDataFile));
    Data1 = new DataConnection(QStringLiteral("Data1"), this);
    Data1->setDatabase(m_entered);
    Data1->setRecordSource(QStringLiteral("Ráfkódok"));
    Data1->refresh();

    auto* layout = new QVBoxLayout(this);
    DBGrid1 = new platform::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(Data1);
    // Cells of existing rows can be corrected in place, with no check.
    DBGrid1->setAllowUpdate(true);
    DBGrid1->recordsetModel().setFieldText(kTotal, totalText);
    layout->addWidget(DBGrid1, 1);
    auto* buttons = new QHBoxLayout;
    Command1 = new platform::SSCommand(QStringLiteral("Leválogat kód szerint"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new platform::SSCommand(QStringLiteral("Nyomtatás"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();
    layout->addLayout(buttons);

    events().onClick(Command1, [this] { Command1_Click(); });
    events().onClick(Command2, [this] { Command2_Click(); });
}

statform::~statform() = default;

void statform::Command1_Click()
{
    Data1->setRecordSource(statSource());
    Data1->refresh();
}

void statform::Command2_Click()
{
    statnyom(Data1->recordset(), platform::printer());
}
