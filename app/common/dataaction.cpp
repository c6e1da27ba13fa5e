#include "app/common/dataaction.h"

#include "platform/ui/msgbox.h"

using platform::db::Database;
using platform::db::DbError;

void showDataError(const DbError& error, const QString& what)
{
    const QString text = what.isEmpty() ? error.clerkText() : what + QLatin1Char('\n') + error.clerkText();
    platform::msgBox(text, platform::Critical, QStringLiteral("Hiba"));
}

bool runDataAction(Database& db, const std::function<void()>& action, const QString& what)
{
    try {
        Database::Transaction transaction(db);
        action();
        transaction.commit();
        return true;
    } catch (const DbError& e) {
        showDataError(e, what);
        return false;
    }
}

bool runDataAction(const std::function<void()>& action, const QString& what)
{
    try {
        action();
        return true;
    } catch (const DbError& e) {
        showDataError(e, what);
        return false;
    }
}
