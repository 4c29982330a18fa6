// Reading a table part: its name, block, header and totals rows, and columns.
#include "platform/sheet/package/TablePart.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/AutoFilter.h"
#include "platform/sheet/package/XmlText.h"

#include <cstring>
#include <pugixml.hpp>

namespace platform::sheet {

namespace {

bool is(const pugi::xml_node& node, const char* local) {
    return std::strcmp(XmlText::localName(node.name()), local) == 0;
}

[[noreturn]] void damaged(std::string_view part, const char* problem) {
    throw SheetError(
        SheetError::Code::DamagedXml,
        QStringLiteral("The part %1 of the workbook is damaged: %2.")
            .arg(QString::fromUtf8(part.data(), qsizetype(part.size())), QString::fromLatin1(problem)));
}

} // namespace

TablePart TablePart::parse(const std::string& xml, std::string_view partName) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size()))
        damaged(partName, "its XML cannot be read");
    const pugi::xml_node root = doc.document_element();
    if (!is(root, "table"))
        damaged(partName, "it holds no table");
    TablePart table;
    table.name = root.attribute("displayName").value();
    if (table.name.empty())
        table.name = root.attribute("name").value();
    const auto range = CellRange::parse(QString::fromUtf8(root.attribute("ref").value()));
    if (!range || table.name.empty())
        damaged(partName, "a table has no name or no block");
    table.range = *range;
    table.headerRows = root.attribute("headerRowCount").as_int(1);
    table.totalsRows = root.attribute("totalsRowCount").as_int(0);
    if (table.headerRows < 0 || table.totalsRows < 0 ||
        table.headerRows + table.totalsRows > table.range.rows())
        damaged(partName, "a table's header and totals rows do not fit its block");
    for (const pugi::xml_node& child : root.children()) {
        if (is(child, "tableColumns"))
            for (const pugi::xml_node& column : child.children())
                if (is(column, "tableColumn"))
                    table.columns.emplace_back(column.attribute("name").value());
        if (is(child, "autoFilter"))
            table.filter = AutoFilter::filteredBlock(child);
    }
    if (int(table.columns.size()) != table.range.columns())
        damaged(partName, "a table's columns do not fit its block");
    return table;
}

} // namespace platform::sheet
