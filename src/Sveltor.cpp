#include "Application.h"
#include "Exception.h"
#include "Unit1.h"

#include <clocale>

using namespace sveltor;

int main(int argc, char** argv) {
    // File names are in the locale's code page; the core reads it from LC_CTYPE.
    std::setlocale(LC_ALL, "");
    TApplication application(argc, argv);
    try {
        Application->Initialize();
        Application->SetTitle(QStringLiteral("Mac binaryheader kelpo"));
        Application->CreateForm(SveltorMain);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
