/* The 8052's RAM at 80H-FFH, reached indirectly, apart from the SFRs. */
#include "uart.h"

#ifdef __SDCC
__idata __at(0x90) volatile uint8_t buf[96];
#else
static volatile uint8_t buf[96];
#endif

int main(void)
{
    uint8_t i;
    uint16_t sum = 0;
    uart_init();
    for (i = 0; i < 96; i++)
        buf[i] = i * 3;
    for (i = 0; i < 96; i++)
        sum += buf[i];
    print_line("upper ", sum);
    uart_end();
    return 0;
}
