// The colour management module: conversion to sRGB through Little CMS.
#include "imagelib/core/codec_module.h"
#include "imagelib/core/colour_manage.h"

FOTRIX_CODEC_ENTRIES = {FOTRIX_CODEC_TOKEN, nullptr, nullptr, fotrix::iccConvertToSrgb, nullptr};
