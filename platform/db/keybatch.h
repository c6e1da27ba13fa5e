// How many row keys a record set reads in its first batch from either end;
// every later batch takes at least as many as that side has read. Tests
// make it small so that a short walk crosses many batches.
#pragma once

namespace platform::db {

int firstKeyBatch();                  // 256 unless set
void setFirstKeyBatch(int keys);      // at least 1

} // namespace platform::db
