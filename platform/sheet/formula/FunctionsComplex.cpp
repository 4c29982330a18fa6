// The complex-number functions: COMPLEX, IMREAL, IMAGINARY, IMABS, IMARGUMENT, IMCONJUGATE, the
// powers, roots, logarithms and trigonometry of complex numbers, IMDIV, IMSUB, IMSUM and
// IMPRODUCT. As in the spreadsheet program a complex number is a text, "3+4i" or "3+4j" ("i" for
// 1i, "0" for zero), written with up to 15 significant digits; a number is a complex number
// without imaginary part. A text that is no complex number is #NUM!, as is a result that does not
// exist (the logarithm of zero, a division by zero); i and j mixed in one calculation are
// #VALUE!. Powers and roots are taken in polar form, as the program does: IMPOWER("2+3i",3)
// is "-46+9.00000000000001i".
#include "platform/sheet/formula/EvaluatorValues.h"
#include "platform/sheet/formula/NumberFormat.h"

#include <QRegularExpression>
#include <complex>
#include <numbers>

namespace platform::sheet {

using namespace evaluation;

namespace {

using Complex = std::complex<double>;

// A complex number read from a value, with the letter of its imaginary unit (null for none).
struct ComplexValue {
    Complex z;
    QChar unit;
    CellValue failure;
};

bool readNumber(QStringView text, double& out) {
    static const QRegularExpression kNumber(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (!kNumber.match(text).hasMatch())
        return false;
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && std::isfinite(out);
}

// The imaginary part as written before its unit: a number, or a sign alone for 1.
bool readImaginary(QStringView text, double& out) {
    if (text.isEmpty() || text == u"+") {
        out = 1;
        return true;
    }
    if (text == u"-") {
        out = -1;
        return true;
    }
    return readNumber(text, out);
}

ComplexValue complexOf(const CellValue& v) {
    ComplexValue out;
    switch (v.type) {
    case Type::Error:
        out.failure = v;
        return out;
    case Type::Number:
        out.z = v.number;
        return out;
    case Type::Empty:
        return out;
    case Type::Boolean:
        out.failure = error("#VALUE!");
        return out;
    case Type::Text:
        break;
    }
    const QString& text = v.text;
    double real = 0;
    double imaginary = 0;
    if (text.endsWith(u'i') || text.endsWith(u'j')) {
        out.unit = text.back();
        const QStringView body = QStringView(text).chopped(1);
        // The sign that begins the imaginary part: the last one not at the start and not in an
        // exponent.
        qsizetype split = -1;
        for (qsizetype k = body.size() - 1; k > 0; --k)
            if ((body[k] == u'+' || body[k] == u'-') && body[k - 1] != u'e' && body[k - 1] != u'E') {
                split = k;
                break;
            }
        const bool ok = split < 0
                            ? readImaginary(body, imaginary)
                            : readNumber(body.left(split), real) && readImaginary(body.mid(split), imaginary);
        if (!ok)
            out.failure = error("#NUM!");
    } else if (!readNumber(text, real)) {
        out.failure = error("#NUM!");
    }
    out.z = Complex(real, imaginary);
    return out;
}

// "a+bi": each part in the General form of texts, a part of 0 left out, 1i written "i".
QString complexText(Complex z, QChar unit) {
    const double real = z.real();
    const double imaginary = z.imag();
    if (real == 0 && imaginary == 0)
        return QStringLiteral("0");
    QString out = real != 0 ? NumberFormat::general(real) : QString();
    if (imaginary != 0) {
        QString magnitude = NumberFormat::general(std::fabs(imaginary));
        if (magnitude == u"1")
            magnitude.clear();
        out += (imaginary < 0 ? QStringLiteral("-")
                : real != 0   ? QStringLiteral("+")
                              : QString()) +
               magnitude + (unit.isNull() ? QChar(u'i') : unit);
    }
    return out;
}

// z^n in polar form; zero only to a positive power.
std::optional<Complex> power(Complex z, double n) {
    if (z == Complex(0, 0)) {
        if (n <= 0)
            return std::nullopt;
        return Complex(0, 0);
    }
    const double r = std::pow(std::abs(z), n);
    const double theta = std::arg(z) * n;
    return Complex(r * std::cos(theta), r * std::sin(theta));
}

// a / b; nothing where b is zero.
std::optional<Complex> quotient(Complex a, Complex b) {
    if (b == Complex(0, 0))
        return std::nullopt;
    return a / b;
}

// The functions of one complex number that give one.
std::optional<Complex> applied(FormulaFunctions::Id id, Complex z) {
    using Id = FormulaFunctions::Id;
    switch (id) {
    case Id::ImConjugate:
        return std::conj(z);
    case Id::ImSqrt:
        return power(z, 0.5).value_or(Complex(0, 0));
    case Id::ImExp:
        return std::exp(z);
    case Id::ImLn:
    case Id::ImLog10:
    case Id::ImLog2: {
        if (z == Complex(0, 0))
            return std::nullopt;
        const Complex ln(std::log(std::abs(z)), std::arg(z));
        return id == Id::ImLn ? ln : id == Id::ImLog10 ? ln / std::numbers::ln10 : ln / std::numbers::ln2;
    }
    case Id::ImSin:
        return std::sin(z);
    case Id::ImCos:
        return std::cos(z);
    case Id::ImTan:
        return quotient(std::sin(z), std::cos(z));
    case Id::ImCot:
        return quotient(std::cos(z), std::sin(z));
    case Id::ImSec:
        return quotient(1, std::cos(z));
    case Id::ImCsc:
        return quotient(1, std::sin(z));
    case Id::ImSinh:
        return std::sinh(z);
    case Id::ImCosh:
        return std::cosh(z);
    case Id::ImSech:
        return quotient(1, std::cosh(z));
    case Id::ImCsch:
        return quotient(1, std::sinh(z));
    default:
        return std::nullopt;
    }
}

bool finite(Complex z) {
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::complexNumbers(Id id, const Operand* args, int argc,
                                                           CellRef at) const {
    auto value = [&](int i) { return i < argc && !args[i].missing ? scalar(args[i], at) : CellValue(); };
    if (id == Id::Complex) {
        const Number real = Number::of(value(0));
        const Number imaginary = Number::of(value(1));
        for (const Number* n : {&real, &imaginary})
            if (n->failed())
                return Operand::of(n->failure);
        QChar unit = u'i';
        if (argc > 2 && !args[2].missing) {
            const CellValue suffix = value(2);
            if (isError(suffix))
                return Operand::of(suffix);
            const QString letter = textOf(suffix);
            if (letter != u"i" && letter != u"j" && !letter.isEmpty())
                return Operand::of(error("#VALUE!"));
            if (!letter.isEmpty())
                unit = letter[0];
        }
        return Operand::of(CellValue::fromText(complexText(Complex(real.value, imaginary.value), unit)));
    }

    // The complex numbers of the arguments: of every cell of a block for IMSUM and IMPRODUCT.
    std::vector<Complex> numbers;
    QChar unit;
    CellValue failure;
    auto take = [&](const CellValue& v) {
        const ComplexValue c = complexOf(v);
        if (isError(c.failure))
            failure = c.failure;
        else if (!c.unit.isNull() && !unit.isNull() && c.unit != unit)
            failure = error("#VALUE!");
        else {
            if (!c.unit.isNull())
                unit = c.unit;
            numbers.push_back(c.z);
        }
        return !isError(failure);
    };
    const bool many = id == Id::ImSum || id == Id::ImProduct;
    const int complexArgs = many ? argc : id == Id::ImDiv || id == Id::ImSub ? 2 : 1;
    for (int i = 0; i < complexArgs && !isError(failure); ++i) {
        if (many && (args[i].ref || args[i].areas || args[i].array))
            forEachValueOf(args[i], take);
        else
            take(value(i));
    }
    if (isError(failure))
        return Operand::of(failure);
    if (numbers.empty())
        return Operand::of(error("#VALUE!"));
    const Complex z = numbers[0];
    auto result = [&](std::optional<Complex> r) {
        if (!r || !finite(*r))
            return Operand::of(error("#NUM!"));
        return Operand::of(CellValue::fromText(complexText(*r, unit)));
    };
    switch (id) {
    case Id::ImReal:
        return Operand::of(numberResult(z.real()));
    case Id::Imaginary:
        return Operand::of(numberResult(z.imag()));
    case Id::ImAbs:
        return Operand::of(numberResult(std::abs(z)));
    case Id::ImArgument:
        if (z == Complex(0, 0))
            return Operand::of(error("#DIV/0!"));
        return Operand::of(numberResult(std::arg(z)));
    case Id::ImDiv:
        if (numbers[1] == Complex(0, 0))
            return Operand::of(error("#NUM!"));
        return result(z / numbers[1]);
    case Id::ImSub:
        return result(z - numbers[1]);
    case Id::ImSum: {
        Complex sum(0, 0);
        for (Complex n : numbers)
            sum += n;
        return result(sum);
    }
    case Id::ImProduct: {
        Complex product(1, 0);
        for (Complex n : numbers)
            product *= n;
        return result(product);
    }
    case Id::ImPower: {
        const Number n = Number::of(value(1));
        if (n.failed())
            return Operand::of(n.failure);
        return result(power(z, n.value));
    }
    default:
        return result(applied(id, z));
    }
}

} // namespace platform::sheet
