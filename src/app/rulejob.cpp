// SPDX-License-Identifier: MIT
#include "rulejob.h"

namespace twinsift {

RuleJob::RuleJob(tickrules::Rule rule, std::vector<QByteArray> files, QByteArray folder)
    : m_rule(rule), m_files(std::move(files)), m_folder(std::move(folder))
{
}

void RuleJob::run(std::stop_token)
{
    m_keys = tickrules::keys(m_rule, m_files, m_folder);
    m_targets = tickrules::linkTargets(m_files);
}

WorkJob::Progress RuleJob::progress() const
{
    return {0, 0, tr("Reading %Ln file(s)", nullptr, int(m_files.size()))};
}

} // namespace twinsift
