#pragma once

// The exact bytes the viewer server writes: answers to single requests and
// the multipart MJPEG stream.

#include <cstddef>
#include <string>
#include <string_view>

namespace kd {

inline constexpr std::string_view kStreamBoundary = "quillmarshframe";

inline constexpr std::string_view kStatusOk = "200 OK";
inline constexpr std::string_view kStatusUnavailable = "503 Service Unavailable";
inline constexpr std::string_view kStatusNotFound = "404 Not Found";

inline constexpr std::string_view kNoFrameBody = "no frame yet";
inline constexpr std::string_view kNotFoundBody = "Not found";

// Everything of an answer before its body of `bodyLength` bytes.
std::string answerHead(std::string_view status, std::string_view contentType,
                       std::size_t bodyLength, bool keepAlive);

// Sent once, before the first part of a stream.
std::string streamHead();

// Everything of one stream part before its JPEG of `jpegLength` bytes; the
// part ends with kStreamPartTail after the JPEG.
std::string streamPartHead(std::size_t jpegLength);
inline constexpr std::string_view kStreamPartTail = "\r\n";

}  // namespace kd
