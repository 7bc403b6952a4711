// SPDX-License-Identifier: MIT
#include "startjob.h"

#include "app/background.h"
#include "app/places.h"

namespace twinsift {

WorkJob::Progress StartJob::progress() const
{
    return {0, 0, tr("Starting")};
}

void StartJob::run(std::stop_token stop)
{
    const std::optional<Result> result = background::await<Result>(
        [file = m_keywordFile] {
            Result read;
            read.start = StartFolder::fromEnvironment();
            read.place = places::folder(read.start.folder);
            read.loaded = read.keywords.load(file);
            return read;
        },
        std::move(stop));
    if (result) {
        m_result = *result;
        m_answered = true;
    }
}

} // namespace twinsift
