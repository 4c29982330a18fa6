// Timing of the encrypted-package paths: the password key derivation that every open pays once
// (100,000 SHA-512 rounds), and opening and writing agile-encrypted workbooks whole.
#include "platform/sheet/encryption/Digest.h"
#include "platform/sheet/encryption/EncryptedPackage.h"

#include <benchmark/benchmark.h>

using namespace platform::sheet::encryption;

namespace {

QByteArray samplePackage(qsizetype size = 64 * 1024) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131) % 251);
    return bytes;
}

void BM_SpinSha512(benchmark::State& state) {
    const Digest digest(QStringLiteral("SHA512"));
    const QByteArray salt(16, '\x5A');
    const QByteArray password = QByteArrayLiteral("p\0a\0s\0s\0");
    for (auto _ : state)
        benchmark::DoNotOptimize(digest.spin(salt, password, 100000));
}
BENCHMARK(BM_SpinSha512)->Unit(benchmark::kMillisecond);

void BM_OpenAgile64k(benchmark::State& state) {
    const QByteArray file = encryptPackage(samplePackage(), QStringLiteral("secret"));
    for (auto _ : state)
        benchmark::DoNotOptimize(decryptPackage(file, QStringLiteral("secret")));
}
BENCHMARK(BM_OpenAgile64k)->Unit(benchmark::kMillisecond);

void BM_SaveAgile64k(benchmark::State& state) {
    const QByteArray plain = samplePackage();
    for (auto _ : state)
        benchmark::DoNotOptimize(encryptPackage(plain, QStringLiteral("secret")));
}
BENCHMARK(BM_SaveAgile64k)->Unit(benchmark::kMillisecond);

// A package the size of a large budget workbook: the segment decryption and the HMAC on top of
// the key derivation.
void BM_OpenAgile16M(benchmark::State& state) {
    const QByteArray file = encryptPackage(samplePackage(16 * 1024 * 1024), QStringLiteral("secret"));
    for (auto _ : state)
        benchmark::DoNotOptimize(decryptPackage(file, QStringLiteral("secret")));
}
BENCHMARK(BM_OpenAgile16M)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
