#include "platform/ui/legacyform.h"

#include <gtest/gtest.h>

namespace {

class Form : public platform::LegacyForm {
public:
    int refuse = 0;
    QList<int> queryModes;
    int unloads = 0;
    int activations = 0;

protected:
    void Form_Activate() override { ++activations; }
    void Form_QueryUnload(int& cancel, int unloadMode) override
    {
        queryModes << unloadMode;
        cancel = refuse;
    }
    void Form_Unload(int&) override { ++unloads; }

public:
    using LegacyForm::unload;
};

} // namespace

TEST(LegacyForm, closing_asks_query_unload_with_its_mode_and_may_be_refused)
{
    Form form;
    form.show();
    form.refuse = 1;
    EXPECT_FALSE(form.close()); // the close box
    EXPECT_FALSE(form.unload()); // by code
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.unloads, 0);

    form.refuse = 0;
    EXPECT_TRUE(form.unload());
    EXPECT_EQ(form.queryModes, (QList<int>{0, 1, 1}));
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.isVisible());
}

TEST(LegacyForm, activation_runs_form_activate)
{
    auto& tracker = platform::ActivationTracker::instance();
    tracker.reset();
    Form a, b;
    tracker.windowActivated(&a);
    tracker.windowActivated(&b);
    tracker.windowActivated(&a);
    EXPECT_EQ(a.activations, 2);
    EXPECT_EQ(b.activations, 1);
}
