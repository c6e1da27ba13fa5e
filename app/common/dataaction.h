// A clerk's action on the database files, run as one whole.
//
// Any handler that writes (a save, an add, a delete, a conversion, a window's
// store button) runs its writes through runDataAction. When the engine
// fails - another program holds a lock longer than the busy timeout, the
// disk is full, a file is read-only - the clerk reads in Hungarian which
// file and what went wrong, every write of the action is undone, and the
// handler returns with the form as the clerk left it; the program keeps
// running. Refusals of the rules are not failures: they stay the handler's.
#pragma once

#include "platform/db/dataconnection.h"

#include <QString>

#include <functional>
#include <memory>

// The first line of the box when the caller gives none.
inline const QString kDataActionFailed = QStringLiteral("A művelet nem sikerült, semmi nem változott!");

// Shows a failure of the engine: `what` (what did not happen), then which
// file and why; title "Hiba", critical icon.
void showDataError(const platform::db::DbError& error, const QString& what = kDataActionFailed);

// Runs `action` inside one transaction of `db`, committed when the action
// returns. On a database error the transaction is rolled back, the error is
// shown and the result is false. The action may open transactions of its
// own inside (they nest), but attaches no file.
bool runDataAction(platform::db::Database& db, const std::function<void()>& action,
                   const QString& what = kDataActionFailed);

// The same for an action that keeps its own transactions (one that attaches
// a second file, which cannot happen inside a transaction): only the error
// is caught and shown.
bool runDataAction(const std::function<void()>& action, const QString& what = kDataActionFailed);
