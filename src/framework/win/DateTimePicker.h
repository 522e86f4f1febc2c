#pragma once
// TDateTimePicker: a date field with a drop-down month calendar over the
// system's date-and-time picker, limited to a range of days.

#include "framework/win/Controls.h"

namespace qrv {

// A day of the calendar.
struct TCalendarDay {
    int Year = 1980;
    int Month = 1;
    int Day = 1;
    bool operator==(const TCalendarDay&) const = default;
};

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* owner);

    TCalendarDay Date();
    // A day outside the range is brought within it.
    void SetDate(const TCalendarDay& day);
    // The first and last day the picker takes (set before or after the window is made).
    void SetRange(const TCalendarDay& first, const TCalendarDay& last);

    // The user changed the date.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void SendRange();
    TCalendarDay ClampedDay(const TCalendarDay& day) const;
    TCalendarDay date_;
    TCalendarDay first_{1601, 1, 1};
    TCalendarDay last_{9999, 12, 31};
};

}  // namespace qrv
