#pragma once
// TKyOLEContainer: the display pane's container for a document embedded from
// another application. Embedding itself is not built yet: the container is
// always empty, reports so, and refuses to create an object.

#include "framework/win/Controls.h"

#include <string>

namespace qrv {

// The object states GetState reports.
enum : int {
    osEmpty = 0,
    osLoaded = 1,
    osRunning = 2,
    osOpen = 3,
    osUIActive = 5,
};

class TKyOLEContainer : public TWinControl {
public:
    explicit TKyOLEContainer(TComponent* owner);

    int GetState() const { return osEmpty; }
    // Creates an embedded object from a file (raises: not available yet).
    void CreateObjectFromFile(const std::wstring& fileName, bool iconic);
    // Runs a verb of the object (-5 shows it); raises on an empty container.
    int DoVerb(int verb);
    // Closes the object without saving; raises on an empty container.
    void Close();
    // Frees the object; an empty container has nothing to free.
    void DestroyObject() {}
    void SaveAsDocument(const std::wstring& fileName);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void CheckObject() const;
};

}  // namespace qrv
