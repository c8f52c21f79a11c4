// The program's code-file lookup in miniature: prints the paths of the
// country and language code files as the program finds them, one a line
// (an empty line for a file it does not find).
#include "research/CodeFiles.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("%s\n%s\n", qPrintable(CodeFiles::GetCountryCodeFile()), qPrintable(CodeFiles::GetLanguageCodeFile()));
    return 0;
}
