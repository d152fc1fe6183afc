#!/usr/bin/python3
"""Floods the running Chimewell with calls on the session bus, without waiting for the answers:
COUNT good adds, each followed by garbage (a huge message, wrong types, unknown keys and
numbers). Prints "answered GOOD BAD" once every call has its answer or error."""
import sys

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
count = int(sys.argv[1])
reminders = dbus.Interface(
    dbus.SessionBus().get_object('org.chimewell.Chimewell', '/org/chimewell/Chimewell'),
    'org.chimewell.Reminders1')
state = {'good': 0, 'bad': 0, 'waiting': 0}
loop = GLib.MainLoop()


def answered(kind):
    def handler(*_):
        state[kind] += 1
        state['waiting'] -= 1
        if state['waiting'] == 0:
            loop.quit()
    return handler


def call(method, *args):
    state['waiting'] += 1
    getattr(reminders, method)(*args, reply_handler=answered('good'),
                               error_handler=answered('bad'), timeout=600)


garbage = [
    ('Add', {'message': 'x' * 1000000}),
    ('Add', {'message': dbus.Int32(5), 'at': dbus.Array([], signature='s')}),
    ('Add', {'weekdays': dbus.Array([dbus.UInt32(0xFFFFFFFF)], signature='u')}),
    ('Add', {'no such key': 'at all'}),
    ('Update', dbus.UInt32(0xFFFFFFFF), {'message': 'never'}),
    ('Remove', dbus.UInt32(0)),
]
for i in range(count):
    call('Add', {'message': 'flood %d' % i, 'at': '2030-01-01T10:00'})
    method, *args = garbage[i % len(garbage)]
    call(method, *args)
loop.run()
print('answered', state['good'], state['bad'], flush=True)
