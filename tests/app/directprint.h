// A print driver that prints without the print dialog: its choices as they stand.
#pragma once

#include "editor/zephview.h"

namespace zeph::testing {

class CDirectPrintDriver final : public IPrintJobDriver {
 public:
  explicit CDirectPrintDriver(IPrintJobDriver& inner) : m_inner(inner) {}
  bool DoPreparePrinting(CPrintInfo& info) override {
    info.direct = true;
    return m_inner.DoPreparePrinting(info);
  }
  CDrawContext* BeginJob(const CPrintInfo& info) override { return m_inner.BeginJob(info); }
  bool StartPage(int page) override { return m_inner.StartPage(page); }
  void EndPage() override { m_inner.EndPage(); }
  void EndJob(bool aborted) override { m_inner.EndJob(aborted); }

 private:
  IPrintJobDriver& m_inner;
};

}  // namespace zeph::testing
