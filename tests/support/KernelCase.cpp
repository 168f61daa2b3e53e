#include "support/KernelCase.h"

#include <gtest/gtest.h>

#include "datasource/tDataSource.h"
#include "foundation/Logger.h"
#include "support/Fixture.h"

namespace qvtest {

KernelCase::KernelCase() : base_(MakeBaseDirectory()) {
  qv::ClearErrorState();
  source_ = std::make_unique<qv::tDataSource>(base_.c_str(), 'd', nullptr);
  if (qv::GetErrorState() == 0) source_->qv_Create_Lookups(0);
  if (qv::GetErrorState() == 0) source_->LoadFieldInfo(0, "fields.ix5", base_.c_str());
  if (qv::GetErrorState() == 0) source_->CreateRecBuffer(10000);
  EXPECT_EQ(qv::GetErrorState(), 0) << qv::GetLastErrorText();
}

KernelCase::~KernelCase() {
  source_.reset();
  RemoveDirectory(base_);
}

int KernelCase::Run(const std::string& data) {
  qv::ClearErrorState();
  if (source_->LoadRecBuffer(data.c_str()) != 1) return -1;
  return source_->qv_ProcessData();
}

}  // namespace qvtest
