// SPDX-License-Identifier: MIT
// Runs a fuzz target without libFuzzer: over the seed corpus, then over inputs mutated from
// it with a fixed seed, so the test suite repeats the same short run every time.
// Usage: fuzz_X [CORPUS_DIR] [RUNS]

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

void run(const QByteArray &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()),
                           size_t(input.size()));
}

QByteArray mutate(QByteArray input, QRandomGenerator &rng)
{
    static const char interesting[] = {'\0',   '\n',   '\r',   ',',    '"', ' ', '.', '\xff',
                                       '\xc3', '\xa9', '\xed', '\xf0', 'A', 'z', '\t'};
    const int edits = 1 + rng.bounded(8);
    for (int e = 0; e < edits; ++e) {
        const int position = input.isEmpty() ? 0 : rng.bounded(int(input.size()) + 1);
        switch (rng.bounded(4)) {
        case 0:
            input.insert(position, interesting[rng.bounded(int(sizeof interesting))]);
            break;
        case 1:
            input.insert(position, char(rng.bounded(256)));
            break;
        case 2:
            if (!input.isEmpty())
                input.remove(std::min(position, int(input.size()) - 1), 1 + rng.bounded(4));
            break;
        default:
            input.append(input.mid(rng.bounded(int(input.size()) + 1), rng.bounded(16)));
        }
    }
    return input;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<QByteArray> corpus{QByteArray()};
    if (argc > 1) {
        const QDir dir(QFile::decodeName(argv[1]));
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                corpus.push_back(file.readAll());
        }
    }
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 20000;
    QRandomGenerator rng(20261206);
    for (const QByteArray &input : corpus)
        run(input);
    for (int i = 0; i < runs; ++i)
        run(mutate(corpus[size_t(rng.bounded(int(corpus.size())))], rng));
    std::printf("%zu seeds and %d mutated inputs: 1 passed, 0 failed\n", corpus.size(), runs);
    return 0;
}
