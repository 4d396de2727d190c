#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "typed_sender.hpp"

namespace orva::gui {
namespace {

TEST(TypedSender, SendsInOrderOnItsOwnThread) {
  std::mutex m;
  std::condition_variable cv;
  std::string sent;
  std::thread::id where;
  TypedSender sender([&](char c) {
    std::lock_guard lock(m);
    sent += c;
    where = std::this_thread::get_id();
    cv.notify_all();
  });
  for (char c : std::string("ABC")) sender.send(c);
  std::unique_lock lock(m);
  ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return sent.size() == 3; }));
  EXPECT_EQ(sent, "ABC");
  EXPECT_NE(where, std::this_thread::get_id());
}

TEST(TypedSender, NothingGoesOutAfterStop) {
  std::mutex m;
  std::condition_variable cv;
  int calls = 0;
  TypedSender sender([&](char) {
    std::lock_guard lock(m);
    ++calls;
    cv.notify_all();
  });
  sender.send('a');
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return calls == 1; }));
  }
  sender.stop();
  sender.send('b');
  sender.stop();  // twice is harmless
  std::lock_guard lock(m);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace orva::gui
