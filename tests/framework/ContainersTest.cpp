#include <gtest/gtest.h>

#include <cstring>

#include "framework/Framework.h"

TEST(UTL_HeapBuf, GrowsInGranularityStepsAndKeepsContents) {
  UTL_HeapBuf buf(128);
  ASSERT_NE(buf.Resize(5), nullptr);
  memcpy(buf.Get(), "abcde", 5);
  EXPECT_EQ(buf.GetCapacity(), 128);
  ASSERT_NE(buf.Resize(129), nullptr);
  EXPECT_EQ(buf.GetCapacity(), 256);
  EXPECT_EQ(memcmp(buf.Get(), "abcde", 5), 0);
  EXPECT_EQ(buf.Resize(-1), nullptr);
  EXPECT_EQ(buf.GetSize(), 129);
}

TEST(UTL_HeapBuf, ImpossibleSizeFailsAndKeepsState) {
  UTL_HeapBuf buf;
  buf.Resize(10);
  EXPECT_EQ(buf.Resize(0x7fffffff), nullptr);
  EXPECT_EQ(buf.GetSize(), 10);
}

namespace {
struct Counted {
  static inline int sDeleted[4];
  static inline int sNext;
  int id;
  explicit Counted(int i) : id(i) {}
  ~Counted() { sDeleted[sNext++] = id; }
};
}  // namespace

TEST(UTL_PtrList, EmptyDeletesLastToFirst) {
  UTL_PtrList<Counted> list;
  for (int i = 0; i < 3; ++i) list.Add(new Counted(i));
  Counted::sNext = 0;
  list.Empty(true);
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(Counted::sDeleted[0], 2);
  EXPECT_EQ(Counted::sDeleted[1], 1);
  EXPECT_EQ(Counted::sDeleted[2], 0);
}

TEST(UTL_PtrList, InsertDeleteFindAndOutOfRange) {
  UTL_PtrList<int> list;
  int a = 1, b = 2, c = 3;
  list.Add(&a);
  list.Add(&c);
  list.Insert(1, &b);
  list.Insert(99, &a);  // clamps to the end
  EXPECT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.Find(&c), 2);
  list.Delete(0);
  EXPECT_EQ(list.Get(0), &b);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Get(3), nullptr);
  list.Delete(7);  // ignored
  EXPECT_EQ(list.GetSize(), 3);
}

TEST(UTL_String, SetAppendInsertDeleteAndNulls) {
  UTL_String s;
  EXPECT_STREQ(s.Get(), "");
  s.Set(nullptr);
  EXPECT_STREQ(s.Get(), "");
  s.Set("hello world", 5);
  EXPECT_STREQ(s.Get(), "hello");
  s.Append(" there");
  s.Insert(">", 0);
  EXPECT_STREQ(s.Get(), ">hello there");
  s.DeleteSub(1, 6);
  EXPECT_STREQ(s.Get(), ">there");
  s.Append(s.Get());  // self-append
  EXPECT_STREQ(s.Get(), ">there>there");
  s.SetLen(3);
  EXPECT_STREQ(s.Get(), ">th");
  EXPECT_EQ(s.GetLength(), 3);
}

TEST(UTL_String, FormattedIsBounded) {
  UTL_String s;
  s.SetFormatted(4, "%d-%s", 12345, "x");
  EXPECT_STREQ(s.Get(), "1234");
  s.AppendFormatted(10, "+%.1f", 2.25);
  EXPECT_STREQ(s.Get(), "1234+2.2");
}

TEST(UTL_TypedBuf, ResizeAddAndRefuseNegative) {
  UTL_TypedBuf<double> buf;
  buf.Add(1.5);
  buf.Add(2.5);
  EXPECT_EQ(buf.GetSize(), 2);
  EXPECT_EQ(buf.Get()[1], 2.5);
  EXPECT_EQ(buf.Resize(-3), nullptr);
  EXPECT_EQ(buf.GetSize(), 2);
}

TEST(UTL_Mutex, IsRecursive) {
  UTL_Mutex m;
  UTL_MutexLock outer(m);
  EXPECT_TRUE(m.TryEnter());
  m.Leave();
}
