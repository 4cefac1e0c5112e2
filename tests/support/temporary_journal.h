// Every test binary that runs a move or a save names its journal: a file in a temporary directory
// of its own, never the user's (CI runs as root). Including this header is enough.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTemporaryDir>
#include <string>

namespace tarnwick::test {

class TemporaryJournal final : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(m_directory.isValid());
        setenv("TARNWICK_JOURNAL", Path().c_str(), 1);
    }
    std::string Path() const {
        return m_directory.filePath(QStringLiteral("journal.jsonl")).toStdString();
    }

private:
    QTemporaryDir m_directory;
};

inline ::testing::Environment* const g_temporaryJournal =
    ::testing::AddGlobalTestEnvironment(new TemporaryJournal);

}  // namespace tarnwick::test
