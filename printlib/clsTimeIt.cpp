#include "printlib/clsTimeIt.h"

#include "platform/ui/msgbox.h"

namespace printlib {

void clsTimeIt::Start()
{
    m_timer.start();
}

double clsTimeIt::elapsedSeconds() const
{
    return m_timer.isValid() ? m_timer.elapsed() / 1000.0 : 0.0;
}

void clsTimeIt::TimeIt() const
{
    platform::msgBox(QString::number(elapsedSeconds(), 'g', 15), platform::OkOnly);
}

} // namespace printlib
