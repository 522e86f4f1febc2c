#pragma once
// What the Windows benchmarks of a control share: the application, OLE
// started before it (drag and drop, the shell), and a form of the given
// size filled by one control (a file list, a folder tree, an archive list),
// the form's window made, not shown.

#include "framework/win/Forms.h"

#include <ole2.h>

namespace qrv::bench {

struct TOleStarted {
    TOleStarted() { OleInitialize(nullptr); }
};

class TBenchApplication : private TOleStarted, public TApplication {
public:
    TBenchApplication() { Initialize(); }
};

template <class TControl>
struct TBenchWindow {
    explicit TBenchWindow(int Width = 800, int Height = 600) : Control(new TControl(&Form))
    {
        Form.SetBounds(0, 0, Width, Height);
        Control->SetAlign(TAlign::alClient);
        Control->SetParent(&Form);
        Form.HandleNeeded();
    }

    TForm Form{nullptr};
    TControl* Control;  // owned by Form
};

}  // namespace qrv::bench
