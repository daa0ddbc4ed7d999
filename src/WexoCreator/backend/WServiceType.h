#pragma once

namespace WexoCreator {

// One kind per endpoint of the backend API.
enum class WServiceType { login, createElement, getWexo, getTheme, getStep, getTemplate };

} // namespace WexoCreator
