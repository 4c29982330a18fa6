// The data store library's own small options object. The library builds the program's wait
// window from the same source as the desktop program (core/frmWait.cpp), and that source
// reads its options object as core::gOptions from "core/cOptions.h". In the library's build
// this folder comes first on the include path, so the window finds this object instead of
// the desktop program's: it holds only what the window reads (FrmWaitBig, Pause,
// ActiveForm) and what its Cancel button writes in the big layout (CancelOp). Nothing in the
// library sets FrmWaitBig, so the library's wait window is always the small one.
//
// The symbols are hidden inside the library, so this core::gOptions is the library's own
// and never the program's.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace core {

class cOptions {
public:
    bool FrmWaitBig = false;
    bool Pause = false;
    bool CancelOp = false;
    QPointer<QWidget> ActiveForm;
};

// Created on first use by the library's wait window preparation.
extern std::unique_ptr<cOptions> gOptions;

} // namespace core
