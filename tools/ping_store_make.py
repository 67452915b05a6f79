#!/usr/bin/env python3
"""Writes a ping host store ("SX-Ping.json") byte for byte as the program writes it, for the benchmark.

The hosts alternate between loopback addresses (127.0.c.d, which answer at once) and, when asked for,
addresses of 10.77.1.0 and up (10.77.c.d), which nothing answers inside the benchmark's network once it routes
them to its own veth pair. Each host holds its counters and the given number of samples, one a round at the
given interval and the newest a round before the end date: replies of 0 or 1 ms for a loopback host, time-outs
for a silent one. Descriptions take the most characters the program keeps (40), so a full list is as long
as such a list can be.

  tools/ping_store_make.py --hosts 1024 --samples 3200 --silent 512 [--end SECONDS] [--interval SECONDS] >FILE

The program writes its store compactly (no white space), members in its own order, numbers as whole
numbers; the native tests check this output against the program's own writer.
"""
import argparse
import sys
import time

HOST_TEXT_MAX = 40  # characters of a host's description the program keeps
OCTETS_PER_BLOCK = 254  # last octets 1..254: neither a network's nor a broadcast address
LIST_BACKGROUND = 0xF0F0F0
RED = 0x0000FF


def address(first, second, block_start, index):
    """The index-th address of first.second.block_start.1 and up, with last octets 1..254."""
    third = block_start + index // OCTETS_PER_BLOCK
    if third > 255:
        raise ValueError(f"more hosts than {first}.{second}.{block_start}.0 and up can number")
    return (first, second, third, index % OCTETS_PER_BLOCK + 1)


def silent_at(position, hosts, silent):
    """Spreads the silent hosts evenly over the list: half of them silent alternate with the loopback ones."""
    return (position + 1) * silent // hosts > position * silent // hosts


def host_text(position):
    text = f"bench host {position + 1:04d} "
    return (text + "-" * HOST_TEXT_MAX)[:HOST_TEXT_MAX]


def host_record(position, octets, silent, samples, end, interval):
    a, b, c, d = octets
    valu = a | b << 8 | c << 16 | d << 24
    sort = int(f"{a:03d}{b:03d}{c:03d}{d:03d}")
    first_date = end - samples * interval
    # Creation keys: seconds "." milliseconds, growing with the position, before the first sample.
    created = first_date - 86400 + position // 1000
    init = f"{created}.{position % 1000:03d}"
    if silent:
        counters = (samples, 0, samples, -1, -1, -1, first_date if samples else 0, 0, 0, -1 if samples else 0)
        colour = RED
        values = ["-1"] * samples
    else:
        counters = (samples, samples, 0, 1 if samples else 0, 0 if samples else -1, 1 if samples else -1,
                    0, 128 if samples else 0, 0, 1 if samples else 0)
        colour = 0
        values = ["1" if index % 3 == 0 else "0" for index in range(samples)]
    sent, recv, lost, latest, best, worst, down, ttl, tos, last = counters
    dates = range(first_date, end, interval)
    pv = ",".join(f'{{"S":{date},"T":{value}}}' for date, value in zip(dates, values))
    return (f'{{"Init":"{init}","Actv":1,"Sent":{sent},"Recv":{recv},"Lost":{lost},"Time":{latest},'
            f'"Best":{best},"Wors":{worst},"Down":{down},"PTTL":{ttl},"PTOS":{tos},"Last":{last},'
            f'"Valu":{valu},"Sort":{sort},"HiLi":0,"CFor":{colour},"CBak":{LIST_BACKGROUND},'
            f'"Host":"{host_text(position)}","Addr":"{a}.{b}.{c}.{d}","PV":[{pv}]}}')


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--hosts", type=int, required=True)
    parser.add_argument("--samples", type=int, default=0, help="samples a host (0 or more)")
    parser.add_argument("--silent", type=int, default=0, help="hosts with an address nothing answers")
    # The program's dates are seconds since 1970 in local time.
    parser.add_argument("--end", type=int, default=int(time.time()) + time.localtime().tm_gmtoff,
                        help="date after the newest sample, seconds since 1970 in local time")
    parser.add_argument("--interval", type=int, default=1, help="seconds between samples")
    arguments = parser.parse_args()
    if arguments.hosts < 0 or arguments.samples < 0 or arguments.interval < 1:
        parser.error("hosts and samples must be 0 or more, the interval 1 or more")
    if not 0 <= arguments.silent <= arguments.hosts:
        parser.error("--silent must be between 0 and --hosts")

    out = sys.stdout
    out.write("[")
    loopback = silent = 0
    for position in range(arguments.hosts):
        quiet = silent_at(position, arguments.hosts, arguments.silent)
        if quiet:
            octets = address(10, 77, 1, silent)
            silent += 1
        else:
            octets = address(127, 0, 0, loopback)
            loopback += 1
        if position:
            out.write(",")
        out.write(host_record(position, octets, quiet, arguments.samples, arguments.end, arguments.interval))
    out.write("]")


if __name__ == "__main__":
    try:
        main()
    except ValueError as error:
        sys.exit(f"ping_store_make: {error}")
