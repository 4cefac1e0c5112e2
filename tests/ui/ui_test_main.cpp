// Runs the UI tests inside one QApplication, created only when tests run (not when listed).
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "ui/tarnwick_dlg.h"

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    QtApplicationEnvironment(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}
    void SetUp() override { m_application = std::make_unique<QApplication>(m_argc, m_argv); }
    void TearDown() override { m_application.reset(); }

private:
    int& m_argc;
    char** m_argv;
    std::unique_ptr<QApplication> m_application;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The built-in page lies off this machine: no dialog of the tests opens it.
    tarnwick::CTarnwickDlg::SetShowPageAddress({});
    // GoogleTest owns registered environments.
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
