// What every Channel operation does with something that is not an open Channel: the Failure
// value, a null pointer, or a record of an unknown kind (for example one already closed).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include "link/channel.h"

namespace velta {
namespace {

TEST(ChannelWithoutConnection, FailureValueAndNullAreHarmless) {
  for (Channel* channel : {kFailureChannel, static_cast<Channel*>(nullptr)}) {
    std::uint8_t buffer[4] = {0x60, 0x00, 0x01, 0x61};
    EXPECT_EQ(ChannelSend(channel, buffer, 4), -1);
    EXPECT_EQ(ChannelReceive(channel, buffer, 4), -1);
    ChannelDiscardInput(channel);
    CloseChannel(channel);
  }
}

// A record whose tag is neither kind is left exactly as it is: its handle is not used, not
// closed, and the record itself is not released (it lives on the stack here, so releasing it
// would crash).
TEST(ChannelWithoutConnection, RecordOfUnknownKindIsNotTouched) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  for (const std::uint32_t kind : {0u, 0x1234u, kSerialChannelTag + 1}) {
    SCOPED_TRACE(kind);
    Channel record{kind, pipeEnds[1]};
    const std::uint8_t frame[4] = {0x60, 0x00, 0x01, 0x61};
    std::uint8_t buffer[4];
    EXPECT_EQ(ChannelSend(&record, frame, 4), -1);
    EXPECT_EQ(ChannelReceive(&record, buffer, 4), -1);
    ChannelDiscardInput(&record);
    CloseChannel(&record);
    EXPECT_EQ(record.kind, kind);
    EXPECT_EQ(record.handle, pipeEnds[1]);
    EXPECT_NE(fcntl(pipeEnds[1], F_GETFD), -1) << "the handle was closed";
  }
  // Nothing was written into the pipe either.
  fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
  char byte;
  EXPECT_EQ(read(pipeEnds[0], &byte, 1), -1);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
}

}  // namespace
}  // namespace velta
