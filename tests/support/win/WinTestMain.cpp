// The main of the Windows test programs: OLE and the application object exist
// for every test, as they do in the program.

#include "framework/win/Forms.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    int result;
    {
        qrv::TApplication application;
        application.Initialize();
        application.SetTitle(L"Quorvan Tests");
        result = RUN_ALL_TESTS();
    }
    if (ole)
        OleUninitialize();
    return result;
}
