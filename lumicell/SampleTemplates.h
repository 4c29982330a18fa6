// The add-in's three sample templates, shipped in its Templates folder. A workbook of one of
// these names belongs to no budget: the dialogs set themselves up for it as a template and the
// event sink never offers to register it. The names are compared without regard to case.
#pragma once

#include <QString>
#include <QStringList>

namespace lumicell {

inline const QStringList kSampleTemplates = {QStringLiteral("empltemp.xlsx"), QStringLiteral("depttemp.xlsx"),
                                             QStringLiteral("hrtemp.xlsx")};

inline bool IsSampleTemplate(const QString& workbookName) {
    return kSampleTemplates.contains(workbookName, Qt::CaseInsensitive);
}

// The add-in's Templates folder, beside its library.
QString SampleTemplatesFolder();

} // namespace lumicell
