#include "common/KyNotify.h"

namespace qrv {

void TKyNotify::Notify(int Event, const std::wstring& Path1, const std::wstring& Path2)
{
    if (OnNotify)
        OnNotify(Event, Path1, Path2);
}

TKyNotify& KyNotify()
{
    // A function-local instance: other units may notify from their own start-up code.
    static TKyNotify notifier;
    return notifier;
}

}  // namespace qrv
