#include "common/win/KyClipBoardFormats.h"

namespace qrv {

// Registered in this order at load time; the system hands out the same
// identifier to every program that registers the same name.
const UINT CFFileContents = RegisterClipboardFormatW(L"FileContents");
const UINT CFFileGroupDescriptor = RegisterClipboardFormatW(L"FileGroupDescriptor");
const UINT CFFileGroupDescriptorW = RegisterClipboardFormatW(L"FileGroupDescriptorW");
const UINT CFFileName = RegisterClipboardFormatW(L"FileName");
const UINT CFFileNameW = RegisterClipboardFormatW(L"FileNameW");
const UINT CFFileNameMap = RegisterClipboardFormatW(L"FileNameMap");
const UINT CFFileNameMapW = RegisterClipboardFormatW(L"FileNameMapW");
const UINT CFPreferredDropEffect = RegisterClipboardFormatW(L"Preferred DropEffect");
const UINT CFShellIDList = RegisterClipboardFormatW(L"Shell IDList Array");
const UINT CFShellObjectOffsets = RegisterClipboardFormatW(L"Shell Object Offsets");
const UINT CFUniformResourceLocator = RegisterClipboardFormatW(L"UniformResourceLocator");

}  // namespace qrv
