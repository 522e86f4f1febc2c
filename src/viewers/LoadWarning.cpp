#include "viewers/LoadWarning.h"

#include <cstdio>

namespace qrv {

void TLoadWarning::Start()
{
    active_ = true;
    stopped_ = false;
    deadline_ = clock_() + Interval;
}

TLoadWarningStep TLoadWarning::Check(uint64_t position)
{
    if (stopped_)
        return TLoadWarningStep::lwStop;
    if (!active_ || clock_() <= deadline_)
        return TLoadWarningStep::lwGoOn;
    if (position <= QuietBytes) {
        deadline_ += Interval;
        return TLoadWarningStep::lwGoOn;
    }
    return TLoadWarningStep::lwAsk;
}

TLoadWarningStep TLoadWarning::Answer(bool goOn)
{
    active_ = false;
    stopped_ = !goOn;
    return goOn ? TLoadWarningStep::lwGoOn : TLoadWarningStep::lwStop;
}

std::u16string TLoadWarning::Question(uint64_t position)
{
    // One decimal, written with the German decimal comma.
    char number[32];
    std::snprintf(number, sizeof number, "%.1f", static_cast<double>(position) / 1048576.0);
    std::u16string text = u"Es wurden bereits ";
    for (const char* c = number; *c; ++c)
        text.push_back(*c == '.' ? u',' : static_cast<char16_t>(*c));
    text += u" MB an Daten in den Texteditor eingelesen.\nMöchten Sie das Einlesen der Datei fortsetzen?";
    return text;
}

}  // namespace qrv
