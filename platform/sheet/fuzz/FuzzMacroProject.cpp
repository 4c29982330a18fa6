// Fuzz target of the macro project reader: reads a macro project part from arbitrary bytes and,
// when that succeeds, lists what the Run Macros tab lists -- every component's kind, and the
// procedures of its code walked line by line as the listing walks them. The layer's own error is
// the expected answer to bad input; only a crash, a hang or a sanitizer report is a finding.
#include "platform/sheet/MacroProject.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/fuzz/FuzzTargets.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace platform::sheet;

namespace {

// The listing's walk: from the line after the declarations, procedure by procedure.
void walk(const CodeModule& code) {
    int line = code.CountOfDeclarationLines() + 1;
    while (line <= code.CountOfLines()) {
        const CodeModule::Procedure* procedure = code.ProcOfLine(line);
        if (!procedure || procedure->lineCount <= 0)
            break;
        line = procedure->startLine + procedure->lineCount;
    }
}

} // namespace

namespace platform::sheet::fuzz {

void macroProject(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const MacroProject project = MacroProject::read(bytes);
        for (const MacroComponent& component : project.components())
            walk(component.code);
    } catch (const SheetError&) {
    }
}

} // namespace platform::sheet::fuzz

#ifdef LUMIVANE_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::sheet::fuzz::macroProject(data, size);
    return 0;
}
#endif
