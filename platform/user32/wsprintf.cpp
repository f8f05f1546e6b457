// wsprintfA: Windows' small formatter. At most 1024 bytes are written, the
// terminating zero included; conversions %d %i %u %x %X %c %s %% with the
// flags '-' and '0', a width and, for strings, a precision. Any other
// character after '%' is copied as it stands. String bytes are copied
// unchanged, so CP949 text passes through.
#include <windows.h>

#include <cstdarg>
#include <cstring>

namespace {

constexpr int kMaxOutput = 1024;

class Output {
 public:
  explicit Output(char* out) : out_(out) {}
  void put(char c) {
    if (length_ < kMaxOutput - 1) out_[length_++] = c;
  }
  void pad(int count, char c) {
    for (int i = 0; i < count; ++i) put(c);
  }
  int finish() {
    out_[length_] = '\0';
    return length_;
  }

 private:
  char* out_;
  int length_ = 0;
};

// Writes body (digits or text of `length` bytes) into a field of `width`,
// with a sign prefix for negative numbers.
void put_field(Output& output, const char* body, int length, bool negative, int width, bool left, bool zero) {
  const int total = length + (negative ? 1 : 0);
  const int padding = width > total ? width - total : 0;
  if (!left && !zero) output.pad(padding, ' ');
  if (negative) output.put('-');
  if (!left && zero) output.pad(padding, '0');
  for (int i = 0; i < length; ++i) output.put(body[i]);
  if (left) output.pad(padding, ' ');
}

int to_digits(unsigned int value, unsigned int base, bool upper, char* digits) {
  const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[16];
  int count = 0;
  do {
    reversed[count++] = alphabet[value % base];
    value /= base;
  } while (value != 0);
  for (int i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
  return count;
}

}  // namespace

int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...) {
  if (lpOut == nullptr) return 0;
  Output output(lpOut);
  if (lpFmt == nullptr) return output.finish();

  va_list args;
  va_start(args, lpFmt);
  for (const char* p = lpFmt; *p != '\0'; ++p) {
    if (*p != '%') {
      output.put(*p);
      continue;
    }
    ++p;
    bool left = false;
    bool zero = false;
    for (; *p == '-' || *p == '0'; ++p) {
      if (*p == '-') left = true;
      if (*p == '0') zero = true;
    }
    int width = 0;
    for (; *p >= '0' && *p <= '9'; ++p) width = width < kMaxOutput ? width * 10 + (*p - '0') : width;
    int precision = -1;
    if (*p == '.') {
      precision = 0;
      for (++p; *p >= '0' && *p <= '9'; ++p)
        precision = precision < kMaxOutput ? precision * 10 + (*p - '0') : precision;
    }
    // A size prefix changes nothing: %ld takes a LONG, 32 bits as on Windows
    // and as an int is (a C long on Linux has 64).
    if (*p == 'l' || *p == 'h') ++p;
    if (*p == '\0') break;

    char digits[16];
    switch (*p) {
      case 'd':
      case 'i': {
        const int value = va_arg(args, int);
        const unsigned int magnitude =
            value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
        const int length = to_digits(magnitude, 10, false, digits);
        put_field(output, digits, length, value < 0, width, left, zero);
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        const unsigned int value = va_arg(args, unsigned int);
        const int length = to_digits(value, *p == 'u' ? 10 : 16, *p == 'X', digits);
        put_field(output, digits, length, false, width, left, zero);
        break;
      }
      case 'c': {
        const char c = static_cast<char>(va_arg(args, int));
        put_field(output, &c, 1, false, width, left, false);
        break;
      }
      case 's': {
        const char* text = va_arg(args, const char*);
        if (text == nullptr) text = "(null)";
        int length = 0;
        // The precision is checked before the byte: a string of exactly that
        // many bytes need not end in a zero.
        while ((precision < 0 || length < precision) && length < kMaxOutput && text[length] != '\0') ++length;
        put_field(output, text, length, false, width, left, false);
        break;
      }
      default:
        output.put(*p);
        break;
    }
  }
  va_end(args);
  return output.finish();
}
