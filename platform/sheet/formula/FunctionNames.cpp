// The function names of the spreadsheet program and the storage spelling of formulas.
#include "platform/sheet/formula/FunctionNames.h"

#include "platform/sheet/FormulaText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace platform::sheet {

namespace {

using Kind = FormulaText::Kind;
using Token = FormulaText::Token;

enum class P : unsigned char {
    None,      // as typed
    Future,    // "_xlfn."
    Worksheet, // "_xlfn._xlws."
};

struct Entry {
    const char* name;
    P prefix;
};

// Sorted by name, so that a name is found by binary search.
constexpr Entry kNames[] = {
    {"ABS", P::None},
    {"ACCRINT", P::None},
    {"ACCRINTM", P::None},
    {"ACOS", P::None},
    {"ACOSH", P::None},
    {"ACOT", P::Future},
    {"ACOTH", P::Future},
    {"ADDRESS", P::None},
    {"AGGREGATE", P::Future},
    {"AMORDEGRC", P::None},
    {"AMORLINC", P::None},
    {"ANCHORARRAY", P::Future},
    {"AND", P::None},
    {"ARABIC", P::Future},
    {"AREAS", P::None},
    {"ARRAYTOTEXT", P::Future},
    {"ASC", P::None},
    {"ASIN", P::None},
    {"ASINH", P::None},
    {"ATAN", P::None},
    {"ATAN2", P::None},
    {"ATANH", P::None},
    {"AVEDEV", P::None},
    {"AVERAGE", P::None},
    {"AVERAGEA", P::None},
    {"AVERAGEIF", P::None},
    {"AVERAGEIFS", P::None},
    {"BAHTTEXT", P::None},
    {"BASE", P::Future},
    {"BESSELI", P::None},
    {"BESSELJ", P::None},
    {"BESSELK", P::None},
    {"BESSELY", P::None},
    {"BETA.DIST", P::Future},
    {"BETA.INV", P::Future},
    {"BETADIST", P::None},
    {"BETAINV", P::None},
    {"BIN2DEC", P::None},
    {"BIN2HEX", P::None},
    {"BIN2OCT", P::None},
    {"BINOM.DIST", P::Future},
    {"BINOM.DIST.RANGE", P::Future},
    {"BINOM.INV", P::Future},
    {"BINOMDIST", P::None},
    {"BITAND", P::Future},
    {"BITLSHIFT", P::Future},
    {"BITOR", P::Future},
    {"BITRSHIFT", P::Future},
    {"BITXOR", P::Future},
    {"BYCOL", P::Future},
    {"BYROW", P::Future},
    {"CALL", P::None},
    {"CEILING", P::None},
    {"CEILING.MATH", P::Future},
    {"CEILING.PRECISE", P::Future},
    {"CELL", P::None},
    {"CHAR", P::None},
    {"CHIDIST", P::None},
    {"CHIINV", P::None},
    {"CHISQ.DIST", P::Future},
    {"CHISQ.DIST.RT", P::Future},
    {"CHISQ.INV", P::Future},
    {"CHISQ.INV.RT", P::Future},
    {"CHISQ.TEST", P::Future},
    {"CHITEST", P::None},
    {"CHOOSE", P::None},
    {"CHOOSECOLS", P::Future},
    {"CHOOSEROWS", P::Future},
    {"CLEAN", P::None},
    {"CODE", P::None},
    {"COLUMN", P::None},
    {"COLUMNS", P::None},
    {"COMBIN", P::None},
    {"COMBINA", P::Future},
    {"COMPLEX", P::None},
    {"CONCAT", P::Future},
    {"CONCATENATE", P::None},
    {"CONFIDENCE", P::None},
    {"CONFIDENCE.NORM", P::Future},
    {"CONFIDENCE.T", P::Future},
    {"CONVERT", P::None},
    {"CORREL", P::None},
    {"COS", P::None},
    {"COSH", P::None},
    {"COT", P::Future},
    {"COTH", P::Future},
    {"COUNT", P::None},
    {"COUNTA", P::None},
    {"COUNTBLANK", P::None},
    {"COUNTIF", P::None},
    {"COUNTIFS", P::None},
    {"COUPDAYBS", P::None},
    {"COUPDAYS", P::None},
    {"COUPDAYSNC", P::None},
    {"COUPNCD", P::None},
    {"COUPNUM", P::None},
    {"COUPPCD", P::None},
    {"COVAR", P::None},
    {"COVARIANCE.P", P::Future},
    {"COVARIANCE.S", P::Future},
    {"CRITBINOM", P::None},
    {"CSC", P::Future},
    {"CSCH", P::Future},
    {"CUBEKPIMEMBER", P::None},
    {"CUBEMEMBER", P::None},
    {"CUBEMEMBERPROPERTY", P::None},
    {"CUBERANKEDMEMBER", P::None},
    {"CUBESET", P::None},
    {"CUBESETCOUNT", P::None},
    {"CUBEVALUE", P::None},
    {"CUMIPMT", P::None},
    {"CUMPRINC", P::None},
    {"DATE", P::None},
    {"DATEDIF", P::None},
    {"DATEVALUE", P::None},
    {"DAVERAGE", P::None},
    {"DAY", P::None},
    {"DAYS", P::Future},
    {"DAYS360", P::None},
    {"DB", P::None},
    {"DBCS", P::None},
    {"DCOUNT", P::None},
    {"DCOUNTA", P::None},
    {"DDB", P::None},
    {"DEC2BIN", P::None},
    {"DEC2HEX", P::None},
    {"DEC2OCT", P::None},
    {"DECIMAL", P::Future},
    {"DEGREES", P::None},
    {"DELTA", P::None},
    {"DEVSQ", P::None},
    {"DGET", P::None},
    {"DISC", P::None},
    {"DMAX", P::None},
    {"DMIN", P::None},
    {"DOLLAR", P::None},
    {"DOLLARDE", P::None},
    {"DOLLARFR", P::None},
    {"DPRODUCT", P::None},
    {"DROP", P::Future},
    {"DSTDEV", P::None},
    {"DSTDEVP", P::None},
    {"DSUM", P::None},
    {"DURATION", P::None},
    {"DVAR", P::None},
    {"DVARP", P::None},
    {"ECMA.CEILING", P::Future},
    {"EDATE", P::None},
    {"EFFECT", P::None},
    {"ENCODEURL", P::Future},
    {"EOMONTH", P::None},
    {"ERF", P::None},
    {"ERF.PRECISE", P::Future},
    {"ERFC", P::None},
    {"ERFC.PRECISE", P::Future},
    {"ERROR.TYPE", P::None},
    {"EUROCONVERT", P::None},
    {"EVEN", P::None},
    {"EXACT", P::None},
    {"EXP", P::None},
    {"EXPAND", P::Future},
    {"EXPON.DIST", P::Future},
    {"EXPONDIST", P::None},
    {"F.DIST", P::Future},
    {"F.DIST.RT", P::Future},
    {"F.INV", P::Future},
    {"F.INV.RT", P::Future},
    {"F.TEST", P::Future},
    {"FACT", P::None},
    {"FACTDOUBLE", P::None},
    {"FALSE", P::None},
    {"FDIST", P::None},
    {"FIELDVALUE", P::Future},
    {"FILTER", P::Worksheet},
    {"FILTERXML", P::Future},
    {"FIND", P::None},
    {"FINDB", P::None},
    {"FINV", P::None},
    {"FISHER", P::None},
    {"FISHERINV", P::None},
    {"FIXED", P::None},
    {"FLOOR", P::None},
    {"FLOOR.MATH", P::Future},
    {"FLOOR.PRECISE", P::Future},
    {"FORECAST", P::None},
    {"FORECAST.ETS", P::Future},
    {"FORECAST.ETS.CONFINT", P::Future},
    {"FORECAST.ETS.SEASONALITY", P::Future},
    {"FORECAST.ETS.STAT", P::Future},
    {"FORECAST.LINEAR", P::Future},
    {"FORMULATEXT", P::Future},
    {"FREQUENCY", P::None},
    {"FTEST", P::None},
    {"FV", P::None},
    {"FVSCHEDULE", P::None},
    {"GAMMA", P::Future},
    {"GAMMA.DIST", P::Future},
    {"GAMMA.INV", P::Future},
    {"GAMMADIST", P::None},
    {"GAMMAINV", P::None},
    {"GAMMALN", P::None},
    {"GAMMALN.PRECISE", P::Future},
    {"GAUSS", P::Future},
    {"GCD", P::None},
    {"GEOMEAN", P::None},
    {"GESTEP", P::None},
    {"GETPIVOTDATA", P::None},
    {"GROUPBY", P::Future},
    {"GROWTH", P::None},
    {"HARMEAN", P::None},
    {"HEX2BIN", P::None},
    {"HEX2DEC", P::None},
    {"HEX2OCT", P::None},
    {"HLOOKUP", P::None},
    {"HOUR", P::None},
    {"HSTACK", P::Future},
    {"HYPERLINK", P::None},
    {"HYPGEOM.DIST", P::Future},
    {"HYPGEOMDIST", P::None},
    {"IF", P::None},
    {"IFERROR", P::None},
    {"IFNA", P::Future},
    {"IFS", P::Future},
    {"IMABS", P::None},
    {"IMAGE", P::Future},
    {"IMAGINARY", P::None},
    {"IMARGUMENT", P::None},
    {"IMCONJUGATE", P::None},
    {"IMCOS", P::None},
    {"IMCOSH", P::Future},
    {"IMCOT", P::Future},
    {"IMCSC", P::Future},
    {"IMCSCH", P::Future},
    {"IMDIV", P::None},
    {"IMEXP", P::None},
    {"IMLN", P::None},
    {"IMLOG10", P::None},
    {"IMLOG2", P::None},
    {"IMPOWER", P::None},
    {"IMPRODUCT", P::None},
    {"IMREAL", P::None},
    {"IMSEC", P::Future},
    {"IMSECH", P::Future},
    {"IMSIN", P::None},
    {"IMSINH", P::Future},
    {"IMSQRT", P::None},
    {"IMSUB", P::None},
    {"IMSUM", P::None},
    {"IMTAN", P::Future},
    {"INDEX", P::None},
    {"INDIRECT", P::None},
    {"INFO", P::None},
    {"INT", P::None},
    {"INTERCEPT", P::None},
    {"INTRATE", P::None},
    {"IPMT", P::None},
    {"IRR", P::None},
    {"ISBLANK", P::None},
    {"ISERR", P::None},
    {"ISERROR", P::None},
    {"ISEVEN", P::None},
    {"ISFORMULA", P::Future},
    {"ISLOGICAL", P::None},
    {"ISNA", P::None},
    {"ISNONTEXT", P::None},
    {"ISNUMBER", P::None},
    {"ISO.CEILING", P::Future},
    {"ISODD", P::None},
    {"ISOMITTED", P::Future},
    {"ISOWEEKNUM", P::Future},
    {"ISPMT", P::None},
    {"ISREF", P::None},
    {"ISTEXT", P::None},
    {"JIS", P::None},
    {"KURT", P::None},
    {"LAMBDA", P::Future},
    {"LARGE", P::None},
    {"LCM", P::None},
    {"LEFT", P::None},
    {"LEFTB", P::None},
    {"LEN", P::None},
    {"LENB", P::None},
    {"LET", P::Future},
    {"LINEST", P::None},
    {"LN", P::None},
    {"LOG", P::None},
    {"LOG10", P::None},
    {"LOGEST", P::None},
    {"LOGINV", P::None},
    {"LOGNORM.DIST", P::Future},
    {"LOGNORM.INV", P::Future},
    {"LOGNORMDIST", P::None},
    {"LOOKUP", P::None},
    {"LOWER", P::None},
    {"MAKEARRAY", P::Future},
    {"MAP", P::Future},
    {"MATCH", P::None},
    {"MAX", P::None},
    {"MAXA", P::None},
    {"MAXIFS", P::Future},
    {"MDETERM", P::None},
    {"MDURATION", P::None},
    {"MEDIAN", P::None},
    {"MID", P::None},
    {"MIDB", P::None},
    {"MIN", P::None},
    {"MINA", P::None},
    {"MINIFS", P::Future},
    {"MINUTE", P::None},
    {"MINVERSE", P::None},
    {"MIRR", P::None},
    {"MMULT", P::None},
    {"MOD", P::None},
    {"MODE", P::None},
    {"MODE.MULT", P::Future},
    {"MODE.SNGL", P::Future},
    {"MONTH", P::None},
    {"MROUND", P::None},
    {"MULTINOMIAL", P::None},
    {"MUNIT", P::Future},
    {"N", P::None},
    {"NA", P::None},
    {"NEGBINOM.DIST", P::Future},
    {"NEGBINOMDIST", P::None},
    {"NETWORKDAYS", P::None},
    {"NETWORKDAYS.INTL", P::Future},
    {"NOMINAL", P::None},
    {"NORM.DIST", P::Future},
    {"NORM.INV", P::Future},
    {"NORM.S.DIST", P::Future},
    {"NORM.S.INV", P::Future},
    {"NORMDIST", P::None},
    {"NORMINV", P::None},
    {"NORMSDIST", P::None},
    {"NORMSINV", P::None},
    {"NOT", P::None},
    {"NOW", P::None},
    {"NPER", P::None},
    {"NPV", P::None},
    {"NUMBERVALUE", P::Future},
    {"OCT2BIN", P::None},
    {"OCT2DEC", P::None},
    {"OCT2HEX", P::None},
    {"ODD", P::None},
    {"ODDFPRICE", P::None},
    {"ODDFYIELD", P::None},
    {"ODDLPRICE", P::None},
    {"ODDLYIELD", P::None},
    {"OFFSET", P::None},
    {"OR", P::None},
    {"PDURATION", P::Future},
    {"PEARSON", P::None},
    {"PERCENTILE", P::None},
    {"PERCENTILE.EXC", P::Future},
    {"PERCENTILE.INC", P::Future},
    {"PERCENTOF", P::Future},
    {"PERCENTRANK", P::None},
    {"PERCENTRANK.EXC", P::Future},
    {"PERCENTRANK.INC", P::Future},
    {"PERMUT", P::None},
    {"PERMUTATIONA", P::Future},
    {"PHI", P::Future},
    {"PHONETIC", P::None},
    {"PI", P::None},
    {"PIVOTBY", P::Future},
    {"PMT", P::None},
    {"POISSON", P::None},
    {"POISSON.DIST", P::Future},
    {"POWER", P::None},
    {"PPMT", P::None},
    {"PRICE", P::None},
    {"PRICEDISC", P::None},
    {"PRICEMAT", P::None},
    {"PROB", P::None},
    {"PRODUCT", P::None},
    {"PROPER", P::None},
    {"PV", P::None},
    {"QUARTILE", P::None},
    {"QUARTILE.EXC", P::Future},
    {"QUARTILE.INC", P::Future},
    {"QUOTIENT", P::None},
    {"RADIANS", P::None},
    {"RAND", P::None},
    {"RANDARRAY", P::Future},
    {"RANDBETWEEN", P::None},
    {"RANK", P::None},
    {"RANK.AVG", P::Future},
    {"RANK.EQ", P::Future},
    {"RATE", P::None},
    {"RECEIVED", P::None},
    {"REDUCE", P::Future},
    {"REGEXEXTRACT", P::Future},
    {"REGEXREPLACE", P::Future},
    {"REGEXTEST", P::Future},
    {"REGISTER.ID", P::None},
    {"REPLACE", P::None},
    {"REPLACEB", P::None},
    {"REPT", P::None},
    {"RIGHT", P::None},
    {"RIGHTB", P::None},
    {"ROMAN", P::None},
    {"ROUND", P::None},
    {"ROUNDDOWN", P::None},
    {"ROUNDUP", P::None},
    {"ROW", P::None},
    {"ROWS", P::None},
    {"RRI", P::Future},
    {"RSQ", P::None},
    {"RTD", P::None},
    {"SCAN", P::Future},
    {"SEARCH", P::None},
    {"SEARCHB", P::None},
    {"SEC", P::Future},
    {"SECH", P::Future},
    {"SECOND", P::None},
    {"SEQUENCE", P::Future},
    {"SERIESSUM", P::None},
    {"SHEET", P::Future},
    {"SHEETS", P::Future},
    {"SIGN", P::None},
    {"SIN", P::None},
    {"SINGLE", P::Future},
    {"SINH", P::None},
    {"SKEW", P::None},
    {"SKEW.P", P::Future},
    {"SLN", P::None},
    {"SLOPE", P::None},
    {"SMALL", P::None},
    {"SORT", P::Worksheet},
    {"SORTBY", P::Future},
    {"SQL.REQUEST", P::None},
    {"SQRT", P::None},
    {"SQRTPI", P::None},
    {"STANDARDIZE", P::None},
    {"STDEV", P::None},
    {"STDEV.P", P::Future},
    {"STDEV.S", P::Future},
    {"STDEVA", P::None},
    {"STDEVP", P::None},
    {"STDEVPA", P::None},
    {"STEYX", P::None},
    {"STOCKHISTORY", P::Future},
    {"SUBSTITUTE", P::None},
    {"SUBTOTAL", P::None},
    {"SUM", P::None},
    {"SUMIF", P::None},
    {"SUMIFS", P::None},
    {"SUMPRODUCT", P::None},
    {"SUMSQ", P::None},
    {"SUMX2MY2", P::None},
    {"SUMX2PY2", P::None},
    {"SUMXMY2", P::None},
    {"SWITCH", P::Future},
    {"SYD", P::None},
    {"T", P::None},
    {"T.DIST", P::Future},
    {"T.DIST.2T", P::Future},
    {"T.DIST.RT", P::Future},
    {"T.INV", P::Future},
    {"T.INV.2T", P::Future},
    {"T.TEST", P::Future},
    {"TAKE", P::Future},
    {"TAN", P::None},
    {"TANH", P::None},
    {"TBILLEQ", P::None},
    {"TBILLPRICE", P::None},
    {"TBILLYIELD", P::None},
    {"TDIST", P::None},
    {"TEXT", P::None},
    {"TEXTAFTER", P::Future},
    {"TEXTBEFORE", P::Future},
    {"TEXTJOIN", P::Future},
    {"TEXTSPLIT", P::Future},
    {"TIME", P::None},
    {"TIMEVALUE", P::None},
    {"TINV", P::None},
    {"TOCOL", P::Future},
    {"TODAY", P::None},
    {"TOROW", P::Future},
    {"TRANSPOSE", P::None},
    {"TREND", P::None},
    {"TRIM", P::None},
    {"TRIMMEAN", P::None},
    {"TRIMRANGE", P::Future},
    {"TRUE", P::None},
    {"TRUNC", P::None},
    {"TTEST", P::None},
    {"TYPE", P::None},
    {"UNICHAR", P::Future},
    {"UNICODE", P::Future},
    {"UNIQUE", P::Future},
    {"UPPER", P::None},
    {"USDOLLAR", P::None},
    {"VALUE", P::None},
    {"VALUETOTEXT", P::Future},
    {"VAR", P::None},
    {"VAR.P", P::Future},
    {"VAR.S", P::Future},
    {"VARA", P::None},
    {"VARP", P::None},
    {"VARPA", P::None},
    {"VDB", P::None},
    {"VLOOKUP", P::None},
    {"VSTACK", P::Future},
    {"WEBSERVICE", P::Future},
    {"WEEKDAY", P::None},
    {"WEEKNUM", P::None},
    {"WEIBULL", P::None},
    {"WEIBULL.DIST", P::Future},
    {"WORKDAY", P::None},
    {"WORKDAY.INTL", P::Future},
    {"WRAPCOLS", P::Future},
    {"WRAPROWS", P::Future},
    {"XIRR", P::None},
    {"XLOOKUP", P::Future},
    {"XMATCH", P::Future},
    {"XNPV", P::None},
    {"XOR", P::Future},
    {"YEAR", P::None},
    {"YEARFRAC", P::None},
    {"YIELD", P::None},
    {"YIELDDISC", P::None},
    {"YIELDMAT", P::None},
    {"ZTEST", P::None},
};

constexpr std::string_view kFuture = "_xlfn.";
constexpr std::string_view kWorksheet = "_xlws.";
constexpr std::string_view kParameter = "_xlpm.";

char upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (upper(text[i]) != upper(prefix[i]))
            return false;
    return true;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithNoCase(a, b);
}

std::string upperCopy(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upper(c);
    return out;
}

const Entry* findEntry(std::string_view name) {
    const std::string key = upperCopy(name);
    const auto* end = std::end(kNames);
    const auto* it = std::lower_bound(std::begin(kNames), end, key, [](const Entry& e, const std::string& k) {
        return std::strcmp(e.name, k.c_str()) < 0;
    });
    return it != end && key == it->name ? it : nullptr;
}

bool isText(const Token& t, Kind kind, std::string_view text) {
    return t.kind == kind && t.text == text;
}

// The index of the ")" that closes the "(" at `open`; the end when there is none.
std::size_t closing(const std::vector<Token>& tokens, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::Punctuation)
            continue;
        if (tokens[i].text == "(" || tokens[i].text == "{")
            ++depth;
        else if ((tokens[i].text == ")" || tokens[i].text == "}") && --depth == 0)
            return i;
    }
    return tokens.size();
}

// One past the end of the operand that starts at `i`: a reference (with its sheet prefix and
// range sides), a name, a function call or a parenthesised expression.
std::size_t operandEnd(const std::vector<Token>& tokens, std::size_t i) {
    while (i < tokens.size() && tokens[i].kind == Kind::Space)
        ++i;
    if (i >= tokens.size())
        return i;
    if (tokens[i].kind == Kind::Function)
        return std::min(closing(tokens, i + 1) + 1, tokens.size());
    if (isText(tokens[i], Kind::Punctuation, "("))
        return std::min(closing(tokens, i) + 1, tokens.size());
    auto isRefPart = [](Kind k) {
        return k == Kind::Cell || k == Kind::Column || k == Kind::Row || k == Kind::Name;
    };
    if (tokens[i].kind == Kind::SheetPrefix)
        ++i;
    if (i < tokens.size() && isRefPart(tokens[i].kind)) {
        ++i;
        while (i + 1 < tokens.size() && isText(tokens[i], Kind::Operator, ":") &&
               (isRefPart(tokens[i + 1].kind) || tokens[i + 1].kind == Kind::SheetPrefix)) {
            i += tokens[i + 1].kind == Kind::SheetPrefix ? 3 : 2;
        }
        return std::min(i, tokens.size());
    }
    return i + 1;
}

// The names LET and LAMBDA bind: LET(name, value, ..., result), LAMBDA(name, ..., body).
std::vector<std::string> boundNames(const std::vector<Token>& tokens, std::size_t function, std::size_t end) {
    const bool let = sameNoCase(FunctionNames::withoutPrefix(tokens[function].text), "LET");
    std::vector<std::size_t> starts;
    int depth = 0;
    for (std::size_t i = function + 1; i < end; ++i) {
        const Token& t = tokens[i];
        if (t.kind == Kind::Punctuation && (t.text == "(" || t.text == "{")) {
            if (depth++ == 0)
                starts.push_back(i + 1);
        } else if (t.kind == Kind::Punctuation && (t.text == ")" || t.text == "}")) {
            --depth;
        } else if (depth == 1 && isText(t, Kind::Punctuation, ",")) {
            starts.push_back(i + 1);
        }
    }
    std::vector<std::string> names;
    for (std::size_t a = 0; a + 1 < starts.size(); ++a) {
        if (let && a % 2 == 1)
            continue;
        std::size_t i = starts[a];
        while (i < end && tokens[i].kind == Kind::Space)
            ++i;
        if (i < end && tokens[i].kind == Kind::Name)
            names.push_back(upperCopy(FunctionNames::withoutPrefix(tokens[i].text)));
    }
    return names;
}

std::string_view stripParameter(std::string_view name) {
    return startsWithNoCase(name, kParameter) ? name.substr(kParameter.size()) : name;
}

} // namespace

std::string_view FunctionNames::withoutPrefix(std::string_view name) {
    for (bool more = true; more;) {
        more = false;
        for (std::string_view prefix : {kFuture, kWorksheet}) {
            if (name.size() > prefix.size() && startsWithNoCase(name, prefix)) {
                name.remove_prefix(prefix.size());
                more = true;
            }
        }
    }
    return stripParameter(name);
}

bool FunctionNames::isKnown(std::string_view name) {
    if (startsWithNoCase(name, kFuture) || startsWithNoCase(name, kWorksheet) ||
        startsWithNoCase(name, "_xll."))
        return true;
    return findEntry(name) != nullptr;
}

std::string_view FunctionNames::storagePrefix(std::string_view name) {
    const Entry* e = findEntry(withoutPrefix(name));
    if (!e)
        return {};
    switch (e->prefix) {
    case P::Future:
        return kFuture;
    case P::Worksheet:
        return "_xlfn._xlws.";
    case P::None:
        break;
    }
    return {};
}

std::string FunctionNames::toDisplay(std::string_view formula) {
    if (formula.find("_xl") == std::string_view::npos && formula.find("_XL") == std::string_view::npos)
        return std::string(formula);
    std::vector<Token> tokens = FormulaText::tokenize(formula);
    std::vector<std::size_t> dropAt; // ")" tokens whose function became an operator
    std::vector<std::pair<std::size_t, std::string>> appendAt;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind == Kind::Name) {
            t.text = std::string(stripParameter(t.text));
        } else if (t.kind == Kind::Function) {
            const std::string_view plain = withoutPrefix(t.text);
            if (plain.size() == t.text.size())
                continue;
            const bool single = sameNoCase(plain, "SINGLE");
            const bool anchor = sameNoCase(plain, "ANCHORARRAY");
            if ((single || anchor) && i + 1 < tokens.size() &&
                isText(tokens[i + 1], Kind::Punctuation, "(")) {
                const std::size_t close = closing(tokens, i + 1);
                if (close < tokens.size()) {
                    // _xlfn.SINGLE(A1:A3) is @A1:A3; _xlfn.ANCHORARRAY(B2) is B2#.
                    t.kind = Kind::Other;
                    t.text.assign(single ? 1 : 0, '@');
                    tokens[i + 1].text.clear();
                    tokens[close].text.assign(anchor ? 1 : 0, '#');
                    continue;
                }
            }
            t.text = std::string(plain);
        }
    }
    return FormulaText::join(tokens);
}

std::string FunctionNames::toStorage(std::string_view formula) {
    std::vector<Token> tokens = FormulaText::tokenize(formula);
    std::string out;
    out.reserve(formula.size() + 16);
    // Parameter names of LET and LAMBDA, with the token index up to which each is bound.
    std::vector<std::pair<std::string, std::size_t>> bound;
    // Closing parentheses owed to "@" operands, by the token index after which they go.
    std::vector<std::size_t> closeAfter;
    auto closeOwed = [&](std::size_t i) {
        for (auto it = closeAfter.begin(); it != closeAfter.end();) {
            if (*it == i) {
                out += ')';
                it = closeAfter.erase(it);
            } else {
                ++it;
            }
        }
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        switch (t.kind) {
        case Kind::Function: {
            const std::string_view plain = withoutPrefix(t.text);
            if (sameNoCase(plain, "LET") || sameNoCase(plain, "LAMBDA")) {
                const std::size_t end = closing(tokens, i + 1);
                for (std::string& name : boundNames(tokens, i, end))
                    bound.emplace_back(std::move(name), end);
            }
            if (isKnown(plain) && !startsWithNoCase(plain, "_xll.")) {
                out += storagePrefix(plain);
                out += upperCopy(plain);
            } else {
                out += t.text;
            }
            break;
        }
        case Kind::Name: {
            const std::string key = upperCopy(stripParameter(t.text));
            const bool isBound = std::any_of(bound.begin(), bound.end(),
                                             [&](const auto& b) { return b.first == key && i < b.second; });
            if (isBound) {
                out += kParameter;
                out += stripParameter(t.text);
            } else if (sameNoCase(t.text, "TRUE") || sameNoCase(t.text, "FALSE")) {
                out += upperCopy(t.text);
            } else {
                out += t.text;
            }
            break;
        }
        case Kind::Cell:
        case Kind::Column:
            out += upperCopy(t.text);
            break;
        case Kind::Other:
            if (t.text == "@") {
                const std::size_t end = operandEnd(tokens, i + 1);
                if (end > i + 1) {
                    out += "_xlfn.SINGLE(";
                    closeAfter.push_back(end - 1);
                    break;
                }
            }
            out += t.text;
            break;
        case Kind::Error:
            if (t.text == "#" && i > 0) {
                // B2# spills: _xlfn.ANCHORARRAY(B2). The operand was written already; put the
                // function before it.
                std::size_t start = i - 1;
                if (start > 0 && tokens[start - 1].kind == Kind::SheetPrefix)
                    --start;
                std::string operand;
                for (std::size_t k = start; k < i; ++k)
                    operand += tokens[k].kind == Kind::Cell ? upperCopy(tokens[k].text) : tokens[k].text;
                if (out.size() >= operand.size() &&
                    out.compare(out.size() - operand.size(), operand.size(), operand) == 0) {
                    out.resize(out.size() - operand.size());
                    out += "_xlfn.ANCHORARRAY(" + operand + ")";
                    break;
                }
            }
            out += t.text;
            break;
        default:
            out += t.text;
            break;
        }
        closeOwed(i);
    }
    for (std::size_t n = closeAfter.size(); n > 0; --n)
        out += ')';
    return out;
}

} // namespace platform::sheet
