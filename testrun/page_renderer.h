// Renders every page of a bank to PNG files without showing a window: the
// pre-test pages as "pre-NN.png", then the question pages as "qNN.png", in
// stored order, at the bank's page size.  For authors and tests.
#pragma once

#include <QString>

#include <functional>

namespace zx {

struct RenderReport {
    bool ok = false;
    QString error;     // one line, when not ok
    int preTestPages = 0;
    int questionPages = 0;
};

// Needs a QApplication (any platform; "offscreen" shows nothing).
RenderReport renderBankPages(const QString& bankPath, const QString& outputFolder);

// The "--render-pages OUT_DIR BANK.zxb" mode of the program: returns the
// exit code and writes a one-line message on failure.
int runRenderPagesMode(int argc, char** argv);

} // namespace zx
