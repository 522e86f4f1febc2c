#pragma once
// The shell's clipboard and drag-and-drop formats, registered once when the
// program loads. The ANSI descriptor and name formats have their Unicode
// twins beside them.

#include "framework/win/WinApi.h"

namespace qrv {

extern const UINT CFFileContents;            // "FileContents"
extern const UINT CFFileGroupDescriptor;     // "FileGroupDescriptor"
extern const UINT CFFileGroupDescriptorW;    // "FileGroupDescriptorW"
extern const UINT CFFileName;                // "FileName"
extern const UINT CFFileNameW;               // "FileNameW"
extern const UINT CFFileNameMap;             // "FileNameMap"
extern const UINT CFFileNameMapW;            // "FileNameMapW"
extern const UINT CFPreferredDropEffect;     // "Preferred DropEffect"
extern const UINT CFShellIDList;             // "Shell IDList Array"
extern const UINT CFShellObjectOffsets;      // "Shell Object Offsets"
extern const UINT CFUniformResourceLocator;  // "UniformResourceLocator"

}  // namespace qrv
