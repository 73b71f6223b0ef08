// How an image value becomes the path its picture is loaded from.
//
// The configuration resolves folder aliases in image values; it installs its resolver at start-up.
// Without one, as in headless tools and tests, the value is the path.
#pragma once

#include <functional>
#include <string>

using MImagePathResolver = std::function<std::string(const std::string& value)>;

// Installs the resolver; an empty one restores the identity.
void SetImagePathResolver(MImagePathResolver resolver);
std::string ResolveImagePath(const std::string& value);
