#include "support/NetTestSupport.h"

#include <algorithm>

#include "link/SocketStream.h"
#include "support/TemplateDatabase.h"

namespace korvo::test {

TPollFn HybridPoll(TVirtualClock& clock, int graceMs) {
  return [&clock, graceMs](pollfd* fds, nfds_t n, int ms) {
    int r = ::poll(fds, n, std::min(ms, graceMs));
    if (r == 0) clock.Advance(ms);
    return r;
  };
}

TEchoResult TFakePinger::Echo(const std::string& host, int tcpPort, int limitMs) {
  limits.push_back(limitMs);
  hosts.push_back(host);
  ports.push_back(tcpPort);
  TEchoResult r = fallback;
  if (!script.empty()) {
    r = script.front();
    script.pop_front();
  }
  if (r.error && waitsOnTimeout) clock_.Advance(limitMs);
  return r;
}

TNetFixture::TNetFixture() : dm(StartProgram(program)), pinger(std::make_shared<TFakePinger>(clock)) {
  dm.Link.Pinger = pinger;
  dm.Link.NetStreamFactory = [this] { return std::make_unique<TSocketStream>(HybridPoll(clock)); };
}

TNetFixture::~TNetFixture() {
  program.ShutDown();
}

void TNetFixture::AddTerminal(const std::string& fsAddr, int port) {
  dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, ?, ?, ?)",
                  {TextValue(fsAddr), TextValue("001"), TextValue("Gate"), IntValue(port)});
}

std::shared_ptr<TFakePinger> UseLoopbackNetwork(TDM& dm, TVirtualClock& clock, int graceMs) {
  auto pinger = std::make_shared<TFakePinger>(clock);
  dm.Link.Pinger = pinger;
  dm.Link.NetStreamFactory = [&clock, graceMs] {
    return std::make_unique<TSocketStream>(HybridPoll(clock, graceMs));
  };
  return pinger;
}

}  // namespace korvo::test
