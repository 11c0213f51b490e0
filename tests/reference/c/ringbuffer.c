/*
 * ringbuffer.c - a fixed-size byte queue for a serial line driver.
 * See https://example.org/docs/ringbuffer.html for the protocol notes.
 */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include "ringbuffer.h"

#define RB_CAPACITY 256u
#define RB_MASK (RB_CAPACITY - 1u)
#if defined(RB_DEBUG) && RB_DEBUG > 1
#  define RB_TRACE(fmt, ...) fprintf(stderr, "rb: " fmt "\n", __VA_ARGS__)
#else
#  define RB_TRACE(fmt, ...) ((void)0)
#endif

typedef struct ring_buffer {
    uint8_t data[RB_CAPACITY];
    volatile uint16_t head; /* next slot to write */
    volatile uint16_t tail; /* next slot to read */
    unsigned long overruns;
} ring_buffer_t;

static const char *const state_names[] = { "empty", "partial", "full" };

static inline size_t rb_used(const ring_buffer_t *rb)
{
    return (size_t)((rb->head - rb->tail) & 0xFFFFu);
}

int rb_put(ring_buffer_t *rb, uint8_t byte)
{
    if (rb_used(rb) >= RB_CAPACITY) {
        rb->overruns++;
        RB_TRACE("overrun #%lu on byte 0x%02X", rb->overruns, byte);
        return -1;
    }
    rb->data[rb->head++ & RB_MASK] = byte;
    return 0;
}

int rb_get(ring_buffer_t *rb, uint8_t *out)
{
    if (rb->head == rb->tail)
        return 0;   // nothing queued
    *out = rb->data[rb->tail++ & RB_MASK];
    return 1;
}

void rb_dump(const ring_buffer_t *rb, FILE *to)
{
    const size_t used = rb_used(rb);
    const char *state = used == 0 ? state_names[0] : used < RB_CAPACITY ? state_names[1] : state_names[2];
    fprintf(to, "ring %p: %zu/%u bytes (%s), %lu overruns\n", (const void *)rb, used, RB_CAPACITY, state,
            rb->overruns);
    for (size_t i = 0; i < used; ++i) {
        const uint8_t c = rb->data[(rb->tail + i) & RB_MASK];
        fputc(c >= 0x20 && c < 0x7f ? c : '.', to);
        if ((i + 1) % 64 == 0)
            fputs("\n\t", to);
    }
    fprintf(to, "\nratio %.2f%%, mask %#o, tab\there, quote \" and \\ done\n", 100.0 * used / RB_CAPACITY, RB_MASK);
}

int main(void)
{
    ring_buffer_t rb;
    memset(&rb, 0, sizeof rb);
    for (int i = 0; i < 300; i++)
        (void)rb_put(&rb, (uint8_t)('a' + i % 26));
    uint8_t b = '\0';
    while (rb_get(&rb, &b) && b != 'z')
        ;
    rb_dump(&rb, stdout);
    return rb.overruns > 0 ? 1 : 0;   /* mail bugs to mailto:serial@example.org */
}
