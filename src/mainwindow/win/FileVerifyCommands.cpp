#include "mainwindow/win/FileVerifyCommands.h"

#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/Progressform.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/WaitCursor.h"

#include <algorithm>
#include <climits>

namespace qrv {

void TFileVerifyCommands::FileVerifyExecute()
{
    // The progress form's message loop may bring the command again.
    if (running_)
        return;
    const std::vector<TVerifyEntry> items = host_.VerifySelection();
    if (items.empty())
        return;
    running_ = true;
    const ScopeExit done([this] {
        running_ = false;
        services_.RefreshStatusBar();
    });
    const TWaitCursor hourglass;
    const int64_t block = VerifyBlockSize(host_.VerifyDriveType());
    const int64_t steps = CountVerifySteps(files_, items, block);
    // The bar takes a 32-bit range: more steps than that are scaled down.
    const int range = static_cast<int>(std::clamp<int64_t>(steps, 1, INT_MAX));
    TVerifyCounts counts;
    {
        TProgressSession progress(services_.Window(), L"Datei prüfen", range,
                                  [this](TForm& form) { services_.PlaceProgressForm(form); });
        TProgressform& bar = progress.Form();
        int64_t done = 0;
        int shown = 0;
        TVerifyUi ui;
        ui.SetLabel = [&bar, &shown](const std::wstring& text) {
            bar.SetLabelText(text);
            // The waiting messages, once per file.
            bar.Progress(shown);
        };
        ui.Step = [&] {
            ++done;
            const int position = static_cast<int>(steps > 0 ? std::min(done, steps) * range / steps : 0);
            if (position != shown) {
                shown = position;
                bar.Progress(position);
            }
        };
        ui.Cancelled = [&bar] { return bar.Aborted(); };
        ui.Terminating = [this, &bar] { return bar.Aborted() || services_.Terminating(); };
        ui.OpenFailed = [this](const std::wstring& name, uint32_t error) {
            const int answer = services_.ShowMessageBox(
                L"Die Datei \"" + name + L"\" kann nicht geöffnet werden.\r\r" + Win32ErrorText(error),
                TMsgDlgType::mtError, kVerifyHelpContext, mbAbort | mbRetry | mbIgnore);
            if (answer == mrAbort)
                return TOpenFailedAnswer::Abort;
            return answer == mrRetry ? TOpenFailedAnswer::Retry : TOpenFailedAnswer::Ignore;
        };
        ui.ReadFailed = [this](const std::wstring& name) {
            return services_.ShowMessageBox(L"Fehler beim Lesen der Datei \"" + name + L"\"", TMsgDlgType::mtError,
                                            kVerifyHelpContext, mbOK | mbCancel) == mrOk;
        };
        counts = RunVerification(files_, items, block, ui);
    }
    last_ = counts;
    const TVerifySummary summary = VerifySummary(counts);
    if (summary.Show)
        services_.ShowMessageBox(summary.Text, summary.Faulty ? TMsgDlgType::mtWarning : TMsgDlgType::mtInformation,
                                 kVerifyHelpContext, mbOK);
}

}  // namespace qrv
