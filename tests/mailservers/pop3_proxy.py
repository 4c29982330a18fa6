#!/usr/bin/python3
"""A POP3 proxy for the mail tests, on 127.0.0.1: passes every line between its clients and a
POP3 server, notes each client command, and can drop the connection at a chosen moment.

usage: /usr/bin/python3 pop3_proxy.py PORT OUTDIR UPSTREAMPORT MODE
  PORT   0 lets the system choose; the port in use is written to OUTDIR/port once it listens
  OUTDIR OUTDIR/commands gets one line per client command: "<connection number> <command>"
  MODE   pass               pass everything
         drop-after-dele    close both sides as soon as the server's answer to a DELE went to the client
Stops on SIGTERM.
"""
import asyncio
import itertools
import os
import sys

from serving import serve_until_stopped

port, out, upstream, mode = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), sys.argv[4]
os.makedirs(out, exist_ok=True)
connections = itertools.count(1)
log = open(os.path.join(out, "commands"), "a", buffering=1)


async def serve(client_in, client_out):
    number = next(connections)
    server_in, server_out = await asyncio.open_connection("127.0.0.1", upstream)
    last_command = b""

    async def to_server():
        nonlocal last_command
        while line := await client_in.readline():
            last_command = line.split(b" ")[0].strip().upper()
            log.write(f"{number} {line.decode('latin-1').strip()}\n")
            server_out.write(line)
            await server_out.drain()

    async def to_client():
        while line := await server_in.readline():
            client_out.write(line)
            await client_out.drain()
            if mode == "drop-after-dele" and last_command == b"DELE":
                return

    tasks = [asyncio.ensure_future(to_server()), asyncio.ensure_future(to_client())]
    await asyncio.wait(tasks, return_when=asyncio.FIRST_COMPLETED)
    for task in tasks:
        task.cancel()
    for writer in (client_out, server_out):
        writer.transport.abort()


async def main():
    server = await asyncio.start_server(serve, "127.0.0.1", port)
    await serve_until_stopped(server, out)


asyncio.run(main())
