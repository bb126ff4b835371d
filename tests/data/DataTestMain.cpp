// data_tests: the data layer's tests. Qt's SQL drivers need an application
// object; the shared PostgreSQL server goes when the run ends.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "PgTestServer.h"

namespace {

class TPgServerEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { kvq::test::TPgTestServer::Shared().Destroy(); }
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new TPgServerEnvironment);
  return RUN_ALL_TESTS();
}
