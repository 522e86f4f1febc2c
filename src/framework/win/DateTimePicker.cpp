#include "framework/win/DateTimePicker.h"

#include <commctrl.h>

#include <tuple>

namespace qrv {

namespace {

SYSTEMTIME SystemTimeOf(const TCalendarDay& day)
{
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(day.Year);
    time.wMonth = static_cast<WORD>(day.Month);
    time.wDay = static_cast<WORD>(day.Day);
    return time;
}

bool Before(const TCalendarDay& a, const TCalendarDay& b)
{
    return std::tie(a.Year, a.Month, a.Day) < std::tie(b.Year, b.Month, b.Day);
}

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 186, 22);
}

void TDateTimePicker::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = DATETIMEPICK_CLASSW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | DTS_SHORTDATEFORMAT;
}

void TDateTimePicker::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    SendRange();
    SYSTEMTIME time = SystemTimeOf(date_);
    SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

TCalendarDay TDateTimePicker::ClampedDay(const TCalendarDay& day) const
{
    if (Before(day, first_))
        return first_;
    if (Before(last_, day))
        return last_;
    return day;
}

TCalendarDay TDateTimePicker::Date()
{
    if (HandleAllocated()) {
        SYSTEMTIME time{};
        if (SendMessageW(handle_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID)
            date_ = ClampedDay({time.wYear, time.wMonth, time.wDay});
    }
    return date_;
}

void TDateTimePicker::SetDate(const TCalendarDay& day)
{
    date_ = ClampedDay(day);
    if (HandleAllocated()) {
        SYSTEMTIME time = SystemTimeOf(date_);
        SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
}

void TDateTimePicker::SetRange(const TCalendarDay& first, const TCalendarDay& last)
{
    first_ = first;
    last_ = last;
    date_ = ClampedDay(date_);
    if (HandleAllocated())
        SendRange();
}

void TDateTimePicker::SendRange()
{
    SYSTEMTIME range[2] = {SystemTimeOf(first_), SystemTimeOf(last_)};
    range[1].wHour = 23;
    range[1].wMinute = 59;
    range[1].wSecond = 59;
    SendMessageW(handle_, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
}

void TDateTimePicker::WndProc(TMessage& message)
{
    if (message.Msg == CN_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (header->code == DTN_DATETIMECHANGE) {
            const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(message.LParam);
            if (change->dwFlags == GDT_VALID)
                date_ = ClampedDay({change->st.wYear, change->st.wMonth, change->st.wDay});
            if (OnChange)
                OnChange(this);
            message.Result = 0;
            return;
        }
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv
