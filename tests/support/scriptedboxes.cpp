#include "tests/support/scriptedboxes.h"

#include <gtest/gtest.h>

namespace testsupport {

const platform::MsgBoxRequest& ScriptedBoxes::single() const
{
    static const platform::MsgBoxRequest none;
    EXPECT_EQ(m_service.shown().size(), 1) << m_service.texts().join(" | ").toStdString();
    return m_service.shown().isEmpty() ? none : m_service.shown().first();
}

} // namespace testsupport
