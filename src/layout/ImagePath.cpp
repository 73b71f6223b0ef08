#include "layout/ImagePath.h"

#include <utility>

namespace {
MImagePathResolver& Resolver() {
  static MImagePathResolver resolver;
  return resolver;
}
}  // namespace

void SetImagePathResolver(MImagePathResolver resolver) { Resolver() = std::move(resolver); }

std::string ResolveImagePath(const std::string& value) {
  const MImagePathResolver& resolver = Resolver();
  return resolver ? resolver(value) : value;
}
