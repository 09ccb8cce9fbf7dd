'''A small UDisks2 for the format tests: a USB card reader holding a vfat card (sdb1) and an
internal disk (sda1). Format, Mount and Unmount change the block's properties as the real
service would, so that a test can read back what was done.
'''
import dbus

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2/Manager'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = True

BLOCK = 'org.freedesktop.UDisks2.Block'
DRIVE = 'org.freedesktop.UDisks2.Drive'
FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'
ROOT = '/org/freedesktop/UDisks2'

FORMAT = ("self.Set('%s', 'IdType', args[0]); "
          "self.Set('%s', 'IdLabel', args[1].get('label', ''))" % (BLOCK, BLOCK))
MOUNT = ("self.Set('%s', 'MountPoints', dbus.Array([dbus.ByteArray(b'/media/tech/CARD\\0')], signature='ay')); "
         "ret = '/media/tech/CARD'" % FILESYSTEM)
UNMOUNT = "self.Set('%s', 'MountPoints', dbus.Array([], signature='ay'))" % FILESYSTEM


def add_block(mock, name, drive, label, fs_type, mount_point):
    path = ROOT + '/block_devices/' + name
    mock.AddObject(path, BLOCK, {
        'Device': dbus.ByteArray(('/dev/%s\0' % name).encode()),
        'IdLabel': label,
        'IdType': fs_type,
        'Drive': dbus.ObjectPath(ROOT + '/drives/' + drive),
        'HintSystem': False,
    }, [('Format', 'sa{sv}', '', FORMAT)])
    block = mockobject.objects[path]
    block.AddProperties(FILESYSTEM, {
        'MountPoints': dbus.Array([dbus.ByteArray((mount_point + '\0').encode())], signature='ay'),
    })
    block.AddMethods(FILESYSTEM, [('Mount', 'a{sv}', 's', MOUNT), ('Unmount', 'a{sv}', '', UNMOUNT)])
    return path


def load(mock, parameters):
    for drive, removable, bus in (('Card_Reader', True, 'usb'), ('Internal_Disk', False, '')):
        mock.AddObject(ROOT + '/drives/' + drive, DRIVE, {
            'Removable': removable,
            'MediaRemovable': removable,
            'ConnectionBus': bus,
        }, [])
    blocks = [add_block(mock, 'sdb1', 'Card_Reader', 'VMCARD', 'vfat', '/media/tech/VMCARD'),
              add_block(mock, 'sda1', 'Internal_Disk', 'DATA', 'ext4', '/media/tech/DATA')]
    mock.AddMethod(MAIN_IFACE, 'GetBlockDevices', 'a{sv}', 'ao',
                   'ret = [dbus.ObjectPath(p) for p in %r]' % blocks)
