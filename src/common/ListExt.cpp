#include "common/ListExt.h"

#include "framework/SysUtils.h"

namespace qrv::listext {

void RaiseNegativeItemSize(int itemSize)
{
    throw ERangeError(L"TListExt: negative itemsize: " + IntToStr(itemSize));
}

void RaiseBufferOverflow(int count)
{
    throw ERangeError(L"TListExt: buffer overflow: " + IntToStr(count));
}

void RaiseIndexOutOfRange(int index)
{
    throw ERangeError(L"TListExt: index out of range: " + IntToStr(index));
}

}  // namespace qrv::listext
