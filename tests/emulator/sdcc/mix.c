/* CRC-16, a sort, integer square roots, 16/32-bit multiply and divide,
   a little state machine and float: what compiled C leans on (register
   banks through ar0-ar7, the stack, the library's helpers). */
#include "uart.h"

static const char text[] = "The quick brown fox jumps over the lazy dog";

static uint16_t crc16(const char *p, uint16_t n)
{
    uint16_t crc = 0xFFFF;
    while (n--) {
        uint8_t i;
        crc ^= (uint16_t)(uint8_t)*p++ << 8;
        for (i = 0; i < 8; i++)
            crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
    }
    return crc;
}

static uint16_t isqrt(uint32_t v)
{
    uint32_t r = 0, bit = 1UL << 30;
    while (bit > v)
        bit >>= 2;
    while (bit) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return (uint16_t)r;
}

static int16_t values[12] = {512, -3, 77, 0, 32767, -32768, 12, 12, -1, 250, 99, -700};

static void sort(int16_t *a, uint8_t n)
{
    uint8_t i, j;
    for (i = 0; i + 1 < n; i++)
        for (j = 0; j + 1 < n - i; j++)
            if (a[j] > a[j + 1]) {
                int16_t t = a[j];
                a[j] = a[j + 1];
                a[j + 1] = t;
            }
}

/* Counts words: a state machine over the text. */
static uint8_t words(const char *p)
{
    uint8_t n = 0, in = 0;
    for (; *p; p++) {
        if (*p == ' ') {
            in = 0;
        } else if (!in) {
            in = 1;
            n++;
        }
    }
    return n;
}

int main(void)
{
    uint8_t i;
    uint32_t sum = 0, prod;
    float f = 1.0f;
    uart_init();
    print_line("crc ", crc16(text, sizeof text - 1));
    sort(values, 12);
    for (i = 0; i < 12; i++)
        sum = sum * 31 + (uint16_t)values[i];
    print_line("sorted ", sum);
    print_line("isqrt ", (uint32_t)isqrt(1000000UL) + isqrt(2UL) + isqrt(4294967295UL));
    prod = (uint32_t)54321 * 12345;
    print_line("mul ", prod);
    print_line("div ", prod / 321 + prod % 321 + (uint16_t)60000u / 7u);
    print_line("words ", words(text));
    for (i = 0; i < 10; i++)
        f = f * 1.5f + 0.25f;
    print_line("float ", (uint32_t)(f * 100.0f));
    uart_end();
    return 0;
}
