#include "update/boot_loader.h"

#include <stdexcept>
#include <string>

#include "i18n/lookup.h"
#include "link/exchange.h"
#include "update/update_file.h"

namespace velta {
namespace {

// Abandons the programming loop; carries the translated reason.
class BootLoaderFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Single bytes to the boot loader, each in a send of its own, and its one-byte answers, traced
// into the log by level.
class BootExchange {
 public:
  BootExchange(const ChannelHandle& channel, Feedback& feedback, int traceLevel)
      : channel_(channel), feedback_(feedback), traceLevel_(traceLevel) {}

  // The label is only built when it is traced: formatting one per image byte would cost more
  // than sending it.
  template <typename MakeLabel>
  void Send(std::uint8_t byte, MakeLabel makeLabel) {
    if (traceLevel_ >= 2) Trace(makeLabel(), byte, true);
    SendRequest(channel_, std::span(&byte, 1));
  }

  // Sends the byte that the boot loader answers; true when exactly the expected byte came.
  template <typename MakeLabel>
  bool Answered(std::uint8_t byte, MakeLabel makeLabel, const std::string& answerLabel,
                std::uint8_t expected) {
    if (traceLevel_ >= 2) Trace(makeLabel(), byte, true);
    std::uint8_t answer = 0;
    const bool came = ExchangeUnsummed(channel_, std::span(&byte, 1), std::span(&answer, 1)) ==
                      ExchangeOutcome::Good;
    if (traceLevel_ >= 1) Trace(answerLabel, answer, came);
    return came && answer == expected;
  }

 private:
  void Trace(const std::string& label, std::uint8_t byte, bool came) {
    feedback_.Log(label);
    if (came && byte != 0) feedback_.Log(Format("%02x", byte));
  }

  const ChannelHandle& channel_;
  Feedback& feedback_;
  int traceLevel_;
};

// Sends one block; true when the boot loader acknowledged it after programming.
bool SendBlock(BootExchange& exchange, const UpdateBlock& bytes, int block,
               const std::string& ackLabel) {
  const auto numberLabel = [block] { return Format(_("Pagenummer %d senden:"), block); };
  exchange.Send(bytes[0], numberLabel);
  exchange.Send(bytes[1], numberLabel);
  for (int j = 0; j < kUpdateBlockSize; ++j) {
    exchange.Send(bytes[static_cast<std::size_t>(2 + j)],
                  [block, j] { return Format(_("Page %d Byte %d senden"), block, j); });
  }
  const auto sumLabel = [block] { return Format(_("Page %d Summe senden"), block); };
  return exchange.Answered(bytes.back(), sumLabel, ackLabel, kBootPageAcknowledgement);
}

}  // namespace

UpdateBlock BuildUpdateBlock(std::span<const std::uint8_t> image, int block) {
  UpdateBlock bytes{};
  bytes[0] = static_cast<std::uint8_t>(block & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((block >> 8) & 0xFF);
  const auto data =
      image.subspan(static_cast<std::size_t>(block) * kUpdateBlockSize, kUpdateBlockSize);
  std::copy(data.begin(), data.end(), bytes.begin() + 2);
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
  bytes.back() = static_cast<std::uint8_t>(sum & 0xFF);
  return bytes;
}

int ProgramBootLoader(const ChannelHandle& channel, std::span<const std::uint8_t> image,
                      Feedback& feedback, int traceLevel) {
  BootExchange exchange(channel, feedback, traceLevel);
  try {
    if (!exchange.Answered(kBootHandshake, [] { return _("Verbindungsaufbau:"); }, _("Antwort"),
                           kBootHandshakeAnswer)) {
      throw BootLoaderFailure(_("Ungültige oder keine Antwort beim Verbindungsaufbau"));
    }
    const int blocks = static_cast<int>(image.size() / kUpdateBlockSize);
    const std::string ackLabel = _("Warte auf Blockprogrammierung...");
    for (int b = 0; b < blocks; ++b) {
      feedback.SetBarMaximum(blocks);
      feedback.SetBarPosition(b);
      feedback.Log(Format(_("Schreibe Block %3d von %3d Blöcken"), b + 1, blocks));
      feedback.Repaint();
      if (!SendBlock(exchange, BuildUpdateBlock(image, b), b, ackLabel)) {
        throw BootLoaderFailure(_("Page Programmierung fehlgeschlagen"));
      }
    }
    for (std::uint8_t byte : kBootEndSequence) {
      exchange.Send(byte, [] { return _("Programmende Block senden:"); });
    }
  } catch (const BootLoaderFailure& failure) {
    feedback.Log(Format(_("Fehler: %s"), failure.what()));
    return kBootLoaderFailed;
  }
  feedback.ClearLog();
  feedback.Log(_("Programmierung erfolgreich!"));
  feedback.EmptyBar();
  return kBootLoaderOk;
}

}  // namespace velta
