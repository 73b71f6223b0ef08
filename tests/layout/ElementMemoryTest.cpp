#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/ElementMemory.h"
#include "layout/Form.h"
#include "layout/Shapes.h"

namespace {

// Elements of every size, built and dropped through base pointers, as a document does.
std::vector<std::unique_ptr<MControl>> MakeElements(int count) {
  std::vector<std::unique_ptr<MControl>> elements;
  for (int i = 0; i < count; ++i) {
    elements.push_back(std::make_unique<MText>());
    elements.push_back(std::make_unique<MLine>());
    elements.push_back(std::make_unique<MFormText>());
    elements.push_back(std::make_unique<MBlock>());
    elements.push_back(std::make_unique<MForm>());
    static_cast<MText&>(*elements[elements.size() - 5]).SetText("a text long enough to live on the heap");
  }
  return elements;
}

}  // namespace

TEST(ElementMemory, SlotsAreDistinctAndKeepTheirContents) {
  std::vector<void*> slots;
  for (std::size_t size : {1u, 16u, 17u, 152u, 256u, 264u, 512u, 513u, 4096u}) {
    for (int i = 0; i < 50; ++i) {
      void* p = element_memory::Allocate(size);
      std::memset(p, static_cast<int>(size & 0xFF), size);
      slots.push_back(p);
    }
  }
  EXPECT_EQ(std::set<void*>(slots.begin(), slots.end()).size(), slots.size());
  std::size_t k = 0;
  for (std::size_t size : {1u, 16u, 17u, 152u, 256u, 264u, 512u, 513u, 4096u}) {
    for (int i = 0; i < 50; ++i, ++k) {
      const auto* bytes = static_cast<const unsigned char*>(slots[k]);
      EXPECT_EQ(bytes[0], size & 0xFF);
      EXPECT_EQ(bytes[size - 1], size & 0xFF);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(slots[k]) % alignof(std::max_align_t), 0u);
      element_memory::Release(slots[k], size);
    }
  }
}

TEST(ElementMemory, FreedElementsServeTheNextDocument) {
  auto first = MakeElements(20000);
  first.clear();
  const std::size_t held = element_memory::ChunkBytes();
  // The same elements again fit in the memory the first ones gave back.
  auto second = MakeElements(20000);
  EXPECT_EQ(element_memory::ChunkBytes(), held);
  // Deep copies made through Clone come from the pools too and are independent.
  auto copy = second[3]->Clone();
  EXPECT_TRUE(copy->IsBlock());
  second.clear();
  EXPECT_TRUE(copy->IsBlock());
}

TEST(ElementMemory, ANewDocumentIsLaidOutInTheOrderItIsBuilt) {
  // A process that has made no element yet holds no chunk either: make some before asking.
  auto probe = MakeElements(10);
  if (element_memory::ChunkBytes() == 0) {
    // The pools are off (sanitizer builds): every element comes from the general heap.
    EXPECT_EQ(element_memory::LiveElements(), 0u);
    GTEST_SKIP() << "element pools are off in this build";
  }
  probe.clear();
  if (element_memory::LiveElements() != 0) GTEST_SKIP() << "elements of other tests are still alive";
  // A document freed in an order of its own, as closing one frees it...
  auto first = MakeElements(1000);
  for (std::size_t i = 0; i < first.size(); i += 2) first[i].reset();
  first.clear();
  ASSERT_EQ(element_memory::LiveElements(), 0u);
  // ...leaves the next one built in order: texts of consecutive blocks follow one another.
  auto second = MakeElements(2);
  const auto a = reinterpret_cast<std::uintptr_t>(second[0].get());
  const auto b = reinterpret_cast<std::uintptr_t>(second[5].get());
  EXPECT_GT(b, a);
  EXPECT_LT(b - a, 4096u);
}
