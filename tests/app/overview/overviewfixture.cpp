#include "tests/app/overview/overviewfixture.h"

#include "app/common/datafolder.h"
#include "app/windows/attekintform.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/events.h"
#include "printlib/clsPrint.h"
#include "printlib/frmPreview.h"
#include "printlib/winhelpers.h"

#include <QApplication>
#include <QDir>
#include <QFontMetricsF>

#include <algorithm>

using platform::db::Database;

void OverviewTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_previousFolder = QDir::currentPath();
    QString error;
    ASSERT_TRUE(makeDataFolder(m_dir.path(), program(), &error)) << error.toStdString();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    ProgramInfo::setCurrent(program());
    platform::setDefaultMsgBoxTitle(program().name);
    platform::ActivationTracker::instance().reset();
    m_regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                       QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
    auto device = std::make_unique<platform::RecordingDevice>(600);
    printerDevice = device.get();
    platform::installPrintDevice(std::move(device));
    printlib::setModalDriver([this](QDialog& d) {
        if (auto* p = qobject_cast<printlib::frmPreview*>(&d)) {
            ++previews;
            previewPages = printlib::Job ? printlib::Job->PageCount() : 0;
            if (printWhilePreviewed && printlib::Job)
                printlib::Job->PrintDoc(nullptr, false);
            Q_UNUSED(p);
        }
    });
    m_entered = Database::open(QDir(m_dir.path()).filePath(program().enteredDataFile));
}

void OverviewTest::TearDown()
{
    window.reset();
    printlib::setModalDriver({});
    printlib::Job.reset();
    m_regional.reset();
    m_entered.reset();
    platform::ActivationTracker::instance().reset();
    QDir::setCurrent(m_previousFolder);
}

void OverviewTest::addEpisode(int id, const QString& tSzam, const QString& okod)
{
    m_entered->exec(QStringLiteral("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, "
                                   "Okod, Tdat, Tido) values (?, '1234', '1', ?, '123456788', '01', '2005.08.01.', "
                                   "'08:00:00', ?, '2005.08.05.', '12:00:00')"),
                    {id, tSzam, okod});
}

void OverviewTest::addSurgery(int id, const QString& mkod, const QString& mido)
{
    m_entered->exec(QStringLiteral("insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, ?, '0')"),
                    {QString::number(id), mkod, mido});
}

void OverviewTest::addItem(int id, const QString& rkod, const QString& mkod, const QVariant& price,
                           const QVariant& value, const QVariant& me, const QString& name)
{
    if (program().isWard()) {
        // The ward program's items belong to no surgery.
        m_entered->exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Egységár, Érték, "
                                       "Tipus, Me) values (?, ?, '2,50', ?, ?, ?, 'G', ?)"),
                        {QString::number(id), rkod, name, price, value, me});
        return;
    }
    m_entered->exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Egységár, Érték, Tipus, "
                                   "Me, Mkod) values (?, ?, '2,50', ?, ?, ?, 'G', ?, ?)"),
                    {QString::number(id), rkod, name, price, value, me, mkod});
}

void OverviewTest::setInstitution(const QString& kod, const QString& nev)
{
    m_entered->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values (?, ?)"), {kod, nev});
}

int OverviewTest::count(const QString& sql, const QVariantList& params)
{
    return m_entered->scalar(sql, params).toInt();
}

attekintform& OverviewTest::open()
{
    window = std::make_unique<attekintform>(program(), [this] { ++comeBacks; });
    window->show();
    platform::ActivationTracker::instance().windowActivated(window.get());
    QApplication::processEvents();
    return *window;
}

QStringList OverviewTest::column(platform::db::DataConnection& c, const QString& field)
{
    QStringList out;
    auto& rs = c.recordset();
    const int f = rs.fieldIndex(field);
    for (int r = 0; r < rs.recordCount(); ++r)
        out << rs.valueAt(r, f).toString();
    return out;
}

std::vector<DrawnText> drawnTexts(const platform::RecordedPage& page, double dpi)
{
    const auto mm = [dpi](double px) { return px * 25.4 / dpi; };
    std::vector<DrawnText> out;
    for (const auto& it : page.items) {
        if (it.kind != platform::RecordedItem::Text)
            continue;
        QFont font(it.family);
        font.setPixelSize(int(it.pixelSize));
        font.setBold(it.bold);
        font.setItalic(it.italic);
        font.setStretch(it.stretch);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setKerning(false);
        DrawnText t;
        t.text = it.text;
        t.y = mm(it.point.y());
        t.left = mm(it.point.x());
        t.right = mm(it.point.x() + QFontMetricsF(font).horizontalAdvance(it.text));
        t.shownLeft = it.clip.isValid() ? std::max(t.left, mm(it.clip.left())) : t.left;
        t.shownRight = it.clip.isValid() ? std::min(t.right, mm(it.clip.right())) : t.right;
        t.points = it.pixelSize * 72 / dpi;
        out.push_back(t);
    }
    return out;
}

std::vector<std::vector<DrawnText>> drawnRows(const platform::RecordedPage& page, double dpi)
{
    std::vector<DrawnText> texts = drawnTexts(page, dpi);
    std::stable_sort(texts.begin(), texts.end(), [](const DrawnText& a, const DrawnText& b) { return a.y < b.y; });
    std::vector<std::vector<DrawnText>> rows;
    for (const DrawnText& t : texts) {
        if (rows.empty() || t.y - rows.back().front().y > 2)
            rows.emplace_back();
        rows.back().push_back(t);
    }
    for (auto& row : rows)
        std::stable_sort(row.begin(), row.end(), [](const DrawnText& a, const DrawnText& b) { return a.left < b.left; });
    return rows;
}

QStringList overlaps(const std::vector<DrawnText>& row)
{
    QStringList out;
    for (size_t a = 0; a < row.size(); ++a)
        for (size_t b = a + 1; b < row.size(); ++b)
            if (row[a].shownLeft < row[b].shownRight - 1e-6 && row[b].shownLeft < row[a].shownRight - 1e-6)
                out << row[a].text + QStringLiteral(" | ") + row[b].text;
    return out;
}
